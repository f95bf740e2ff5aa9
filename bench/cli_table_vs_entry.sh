#!/usr/bin/env bash
# vantrel-cli table over 10,000 pilot files in the page cache, against
# vantrel-cli entry over the same files, in the same run. Target: table no
# slower than entry (ratio <= 1.0).
#
#   bench/cli_table_vs_entry.sh BUILD_DIR [COUNT]
set -euo pipefail
build=${1:?usage: cli_table_vs_entry.sh BUILD_DIR [COUNT]}
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
"$cli" table --ini "$work/vantrel.ini" -- *.plt > /dev/null

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

entry_ns=$(best "$cli" entry --ini "$work/vantrel.ini" -- *.plt)
table_ns=$(best "$cli" table --ini "$work/vantrel.ini" -- *.plt)
awk -v e="$entry_ns" -v t="$table_ns" -v n="$count" 'BEGIN {
  printf "files: %d\n", n
  printf "vantrel-cli entry:  %8.1f ms (%6.2f us/file)\n", e / 1e6, e / 1e3 / n
  printf "vantrel-cli table:  %8.1f ms (%6.2f us/file)\n", t / 1e6, t / 1e3 / n
  printf "ratio table/entry:  %8.2f (target <= 1.0)\n", t / e
}'
