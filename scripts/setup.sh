#!/usr/bin/env bash
# Installs what building and testing Zentova needs on a Debian machine (as root or with
# sudo). Asks apt only when something is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkgconf
    qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n
    libgtest-dev libbenchmark-dev
    fonts-ipafont-mincho fonts-ipafont-gothic fontconfig libfontconfig-dev
    libharfbuzz-dev zlib1g-dev
    libx11-dev
    poppler-utils qpdf fonts-urw-base35 fonts-dejavu-core ghostscript groff-base
    dpkg-dev lintian appstream
    xvfb xauth imagemagick openbox
    cups-daemon cups-client printer-driver-cups-pdf
)

exec bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
