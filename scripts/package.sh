#!/usr/bin/env bash
# Builds the Debian package of Zentova, OUTDIR/zentova_VERSION_ARCH.deb (OUTDIR: build/):
#     bash scripts/package.sh [OUTDIR]
# compiles a Release build in build-release/ first; with --build DIR it packages the
# build tree DIR as it is instead (CI packages its test build that way, rather than
# compiling everything once more):
#     bash scripts/package.sh --build build build/package
# The package holds what `cmake --install` puts under /usr, stripped, with the manual
# pages compressed, the copyright and changelog, and Depends from dpkg-shlibdeps plus
# the fonts, Qt's image-format plug-ins and its Japanese texts.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$(pwd)

build=
if [ "${1:-}" = --build ]; then
    build=$(realpath "$2")
    shift 2
fi
outdir=$(realpath -m "${1:-build}")
maintainer=${ZENTOVA_MAINTAINER:-"Tirsel Applications <zentova@tirsel.com>"}

if [ -z "$build" ]; then
    bash scripts/setup.sh
    build=$source/build-release
    # Debian's hardening flags (stack protector, fortified functions, read-only
    # relocations bound at start-up) on top of the Release build.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTOVA_BENCHMARKS=OFF
    cmake --build "$build" --parallel "$(nproc)" \
          --target zentova zentova-print zentovaqt zentova_manual
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
[ -n "$version" ] || { echo "$0: $build is no configured build tree" >&2; exit 2; }

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
root=$staging/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

# What Debian asks of every binary package: stripped programs, compressed manual pages
# and changelog, the copyright file, files owned by root with plain permissions.
find "$root" -type f -exec sh -c 'head -c 4 "$1" | grep -q "^.ELF"' _ {} \; -print |
    while read -r elf; do
        strip --strip-unneeded --remove-section=.comment --remove-section=.note "$elf"
    done
gzip -9n "$root"/usr/share/man/man1/*.1
doc=$root/usr/share/doc/zentova
mkdir -p "$doc"
cp res/package/copyright "$doc/copyright"
# The date of the newest commit, so that building the same sources gives the same package.
date=$(git -C "$source" log -1 --format=%aD 2>/dev/null || date -R)
printf 'zentova (%s) unstable; urgency=medium\n\n  * Built from the Zentova sources.\n\n -- %s  %s\n' \
    "$version" "$maintainer" "$date" | gzip -9n >"$doc/changelog.gz"
find "$root" -type d -exec chmod 755 {} +
find "$root" -type f -exec chmod 644 {} +
chmod 755 "$root"/usr/lib/zentova/zentova "$root"/usr/lib/zentova/zentova-print

# dpkg-shlibdeps reads the package's name from a control file of a source tree.
mkdir -p "$staging/debian" "$root/DEBIAN"
printf 'Source: zentova\n\nPackage: zentova\nArchitecture: any\n' >"$staging/debian/control"
shlibs=$(cd "$staging" && dpkg-shlibdeps -O \
    -e root/usr/lib/zentova/zentova -e root/usr/lib/zentova/zentova-print \
    -e root/usr/lib/zentova/zentovaqt.spi 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || { echo "$0: dpkg-shlibdeps found no libraries" >&2; exit 1; }

# What the programs load at run time without linking it: the faces that stand in for the
# Windows Japanese faces, the image formats of the shipped plug-in, Qt's Japanese texts.
runtime="fonts-ipafont-mincho, fonts-ipafont-gothic, qt6-image-formats-plugins, qt6-translations-l10n"
{
    echo "Package: zentova"
    echo "Version: $version"
    echo "Architecture: $arch"
    echo "Maintainer: $maintainer"
    echo "Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)"
    echo "Depends: $shlibs, $runtime"
    echo "Section: graphics"
    echo "Priority: optional"
    echo "Description: $(cat res/package/description)"
} >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

mkdir -p "$outdir"
deb=$outdir/zentova_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
