#!/usr/bin/env bash
# The main job on a fresh machine: installs what is needed, builds, and renders every
# command file in examples/ to out/NAME.pdf.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p out
status=0
for file in examples/*.zent; do
    name=$(basename "$file" .zent)
    paper=(--paper A4)
    data=()
    case "$name" in
        postcard) paper=(--paper postcard) ;;
        address-cards) paper=(--paper postcard); data=(--data examples/addresses.csv) ;;
        tour) paper=(--paper a6 --landscape) ;;
        letterhead) paper=(--paper a5) ;;
    esac
    if ./build/bin/zentova-print "${paper[@]}" "${data[@]}" -o "out/$name.pdf" "$file"; then
        echo "out/$name.pdf"
    else
        status=1
    fi
done
exit $status
