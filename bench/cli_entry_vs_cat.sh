#!/usr/bin/env bash
# vantrel-cli entry over 10,000 pilot files in the page cache, against cat of
# the same files, in the same run. Target: entry at most half the time of cat.
#
#   bench/cli_entry_vs_cat.sh BUILD_DIR [COUNT]
set -euo pipefail
build=${1:?usage: cli_entry_vs_cat.sh BUILD_DIR [COUNT]}
count=${2:-10000}
cli="$build/cli/vantrel-cli"
sample="$build/samples/Kestrel_Red.plt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/pilots"
for ((i = 0; i < count; i++)); do
  cp "$sample" "$work/pilots/pilot_$i.plt"
done
printf '[ZADAdeda]\n' > "$work/vantrel.ini"

cd "$work/pilots"
# Warm the page cache and check both commands work.
cat -- *.plt > /dev/null
"$cli" entry --ini "$work/vantrel.ini" -- *.plt > /dev/null

best() {  # best of five wall-clock runs, in seconds
  local best=999999999999999 t
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    t=$(( end - start ))
    (( t < best )) && best=$t
  done
  echo "$best"
}

cat_ns=$(best cat -- *.plt)
entry_ns=$(best "$cli" entry --ini "$work/vantrel.ini" -- *.plt)
awk -v c="$cat_ns" -v e="$entry_ns" -v n="$count" 'BEGIN {
  printf "files: %d\n", n
  printf "cat:                %8.1f ms (%6.2f us/file)\n", c / 1e6, c / 1e3 / n
  printf "vantrel-cli entry:  %8.1f ms (%6.2f us/file)\n", e / 1e6, e / 1e3 / n
  printf "ratio entry/cat:    %8.2f (target <= 0.5)\n", e / c
}'
