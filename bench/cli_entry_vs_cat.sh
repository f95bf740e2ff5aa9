#!/usr/bin/env bash
# vantrel-cli entry over 10,000 pilot files in the page cache, against cat of
# the same files, in the same run. Target: entry at most half the time of cat.
#
#   bench/cli_entry_vs_cat.sh BUILD_DIR [COUNT]
set -euo pipefail
usage="usage: cli_entry_vs_cat.sh BUILD_DIR [COUNT]"
source "$(dirname "${BASH_SOURCE[0]}")/cli_bench_common.sh"

# Check the command works.
"$cli" entry --ini "$ini" -- *.plt > /dev/null

cat_ns=$(best cat -- *.plt)
entry_ns=$(best "$cli" entry --ini "$ini" -- *.plt)
awk -v c="$cat_ns" -v e="$entry_ns" -v n="$count" 'BEGIN {
  printf "files: %d\n", n
  printf "cat:                %8.1f ms (%6.2f us/file)\n", c / 1e6, c / 1e3 / n
  printf "vantrel-cli entry:  %8.1f ms (%6.2f us/file)\n", e / 1e6, e / 1e3 / n
  printf "ratio entry/cat:    %8.2f (target <= 0.5)\n", e / c
}'
