#!/bin/sh
# Pictures of the main window, the settings dialog, the pilot view, the
# review window and its chart window, taken under Xvfb with the bundled sample
# pilot, into docs/screenshots/. The review window shows a squadron folder made
# from the sample pilot, with a few files that fail the check and a few broken ones.
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

# What the review window shows: a squadron folder made from the sample pilot
# by vantrel-cli set (names, ranks, ratings), a few files edited so that the
# check fails or only the score total warning applies, and a few broken ones.
cmake --build "$build" --target vantrel-cli >/dev/null
squad="$home/squadron"
mkdir -p "$squad"
poke() {  # FILE OFFSET BYTE: one byte changed in place
    printf "\\$3" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
n=0
for name in Kestrel Wedge Hobbie Wes Tycho Janson Porkins Biggs Dack Zev Hera Corran Mirax Ooryl; do
    cp "$build/samples/Kestrel_Red.plt" "$squad/$name.plt"
    chmod u+w "$squad/$name.plt"
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/data" \
        "$build/cli/vantrel-cli" set --name "$name" --rank $((n % 9)) --rating $((n * 3 % 25)) \
        "$squad/$name.plt" >/dev/null
    n=$((n + 1))
done
poke "$squad/Wes.plt" 70726 007          # a TOD score copy that disagrees
poke "$squad/Porkins.plt" 70794 011      # TOD kills list B against list A
poke "$squad/Hobbie.plt" 44310 001       # a mission's score: the total warning only
poke "$squad/Zev.plt" 44358 002
head -c 1000 "$build/samples/Kestrel_Red.plt" > "$squad/Janson_cut.plt"
: > "$squad/Empty.plt"
ln -s Nowhere.plt "$squad/Dack_link.plt"
set -- "$squad"

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
