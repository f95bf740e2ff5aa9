#!/bin/sh
# Pictures of the main window, the settings dialog, the pilot view, the
# review window and its chart window, taken under Xvfb with the bundled sample pilot, into
# docs/screenshots/. The review window also shows a file cut short and, when
# they lie beside the checkout in ../shared/testdata/real, two real pilots.
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

# What the review window shows besides the sample pilot.
head -c 1000 "$build/samples/Kestrel_Red.plt" > "$home/Broken.plt"
real="$here/../shared/testdata/real"
set --
for pilot in "$real/PickledYoda0.plt" "$real/XWA-TC-56.plt"; do
    if [ -f "$pilot" ]; then
        set -- "$@" "$(cd "$(dirname "$pilot")" && pwd)/$(basename "$pilot")"
    fi
done
set -- "$@" "$home/Broken.plt"

if command -v openbox >/dev/null 2>&1; then
    wm=openbox
else
    echo "openbox is not installed: the windows have no frames and their places are not checked" >&2
    wm=
fi

HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" LC_ALL=C.UTF-8 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    sh -c '
        wmname=$1
        if [ -n "$wmname" ]; then
            "$wmname" >/dev/null 2>&1 &
            wm=$!
            sleep 1
        fi
        status=0
        prog=$2 pilot=$3 out=$4
        shift 4
        "$prog" "$pilot" "$out" "$@" || status=$?
        [ -z "$wmname" ] || kill "$wm" 2>/dev/null || true
        exit $status
    ' screenshots "$wm" "$build/tools/vantrel_screenshots" "$build/samples/Kestrel_Red.plt" "$here/docs/screenshots" "$@"
