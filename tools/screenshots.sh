#!/bin/sh
# Pictures of the main window, the settings dialog and the pilot view, taken
# under Xvfb with the bundled sample pilot, into docs/screenshots/.
#
#   tools/screenshots.sh [BUILD_DIR]
#
# With openbox installed the windows get a window manager's frames, and the
# run also checks that the about box opens at the same place each time.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}

cmake --build "$build" --target vantrel_screenshots sample_pilot >/dev/null
mkdir -p "$here/docs/screenshots"

# A fresh home, so that neither the user's settings nor their log take part.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT INT TERM

if command -v openbox >/dev/null 2>&1; then
    wm=openbox
else
    echo "openbox is not installed: the windows have no frames and their places are not checked" >&2
    wm=
fi

HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" LC_ALL=C.UTF-8 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    sh -c '
        if [ -n "$1" ]; then
            "$1" >/dev/null 2>&1 &
            wm=$!
            sleep 1
        fi
        status=0
        "$2" "$3" "$4" || status=$?
        [ -z "$1" ] || kill "$wm" 2>/dev/null || true
        exit $status
    ' screenshots "$wm" "$build/tools/vantrel_screenshots" "$build/samples/Kestrel_Red.plt" "$here/docs/screenshots"
