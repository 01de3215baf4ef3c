#!/bin/sh
# Runs the screenshot test on a virtual X server; reports "skipped" (77) where the
# server or ImageMagick's import is not installed.
set -u
for tool in xvfb-run import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
# With openbox installed, a window manager places and decorates the windows as on a
# desktop; the test then sees where it really puts them.
exec xvfb-run -a -s "-screen 0 1280x960x24" env QT_QPA_PLATFORM=xcb sh -c '
    if command -v openbox >/dev/null 2>&1; then
        openbox >/dev/null 2>&1 &
        sleep 1
    fi
    exec "$@"' screenshot "$@"
