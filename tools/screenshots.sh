#!/bin/sh
# Pictures of the main window, the settings dialog and the pilot view, taken
# under Xvfb with the bundled sample pilot, into docs/screenshots/.
#
#   tools/screenshots.sh [BUILD_DIR]
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}

cmake --build "$build" --target vantrel_screenshots sample_pilot >/dev/null
mkdir -p "$here/docs/screenshots"

# A fresh home, so that neither the user's settings nor their log take part.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT INT TERM

HOME="$home" XDG_CONFIG_HOME="$home/.config" LC_ALL=C.UTF-8 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    "$build/tools/vantrel_screenshots" "$build/samples/Kestrel_Red.plt" "$here/docs/screenshots"
