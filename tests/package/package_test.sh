#!/usr/bin/env bash
# The Debian package made from a build tree, checked without installing it: its files
# against files.txt, its control fields, lintian, the AppStream metainfo, and the packaged
# zentova-print run from an extracted copy (where it must find its own plug-in).
#     bash tests/package/package_test.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

deb=$(bash "$source/scripts/package.sh" --build "$build" "$work")

# Every file, link and mode; the manual's pictures, one per example, count as one line.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6, $7, $8 }' |
    sed 's#pictures/example-[0-9-]*\.png#pictures/example-N.png#' | sort -u -k2 >"$work/files.txt"
diff -u "$here/files.txt" "$work/files.txt" || fail "the package's files differ from files.txt"
[ "$(dpkg-deb -c "$deb" | grep -c 'manual/pictures/example-')" -ge 15 ] ||
    fail "the manual's pictures are missing"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libqt6gui6 libqt6widgets6 libqt6printsupport6 fonts-ipafont-mincho \
              fonts-ipafont-gothic qt6-image-formats-plugins qt6-translations-l10n; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

if command -v lintian >/dev/null; then
    report=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian reports errors"
    printf '%s\n' "$report" | grep -v 'running with root privileges' || true
else
    fail "lintian is not installed (scripts/setup.sh installs it)"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
    fail "appstreamcli rejects the metainfo"
# The manual pages and the metainfo name the version they came with.
version=$(dpkg-deb -f "$deb" Version)
for page in zentova zentova-print; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .* \"Zentova $version\"" ||
        fail "the manual page $page(1) does not name version $version"
done
grep -q "<release version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "the metainfo has no release $version"

# The packaged tool through its link in usr/bin, with its own plug-in (the letterhead's
# logo is a PNG) and the Japanese faces, writing a PDF.
export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
(cd "$source/examples" && "$root/usr/bin/zentova-print" --paper a5 -o "$work/letterhead.pdf" \
    letterhead.zent) || fail "the packaged zentova-print failed on letterhead.zent"
head -c 5 "$work/letterhead.pdf" 2>/dev/null | grep -q '%PDF-' ||
    fail "the packaged zentova-print wrote no PDF"
"$root/usr/bin/zentova-print" --version | grep -q "$version" ||
    fail "the packaged zentova-print has another version than the package"

[ $failed -eq 0 ] && echo "package $(basename "$deb"): all checks passed"
exit $failed
