#!/usr/bin/env bash
# Installs what building and testing Zentova needs on a Debian machine (as root or with
# sudo). Asks apt only when something is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkgconf
    qt6-base-dev qt6-image-formats-plugins
    libgtest-dev libbenchmark-dev
    fonts-ipafont-mincho fonts-ipafont-gothic fontconfig
    poppler-utils
    xvfb xauth imagemagick
    cups-daemon cups-client printer-driver-cups-pdf
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
