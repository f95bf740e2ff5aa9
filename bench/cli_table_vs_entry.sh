#!/usr/bin/env bash
# vantrel-cli table over 10,000 pilot files in the page cache, against
# vantrel-cli entry over the same files, in the same run. Target: table no
# slower than entry (ratio <= 1.0).
#
#   bench/cli_table_vs_entry.sh BUILD_DIR [COUNT]
set -euo pipefail
usage="usage: cli_table_vs_entry.sh BUILD_DIR [COUNT]"
source "$(dirname "${BASH_SOURCE[0]}")/cli_bench_common.sh"

# Check both commands work.
"$cli" entry --ini "$ini" -- *.plt > /dev/null
"$cli" table --ini "$ini" -- *.plt > /dev/null

entry_ns=$(best "$cli" entry --ini "$ini" -- *.plt)
table_ns=$(best "$cli" table --ini "$ini" -- *.plt)
awk -v e="$entry_ns" -v t="$table_ns" -v n="$count" 'BEGIN {
  printf "files: %d\n", n
  printf "vantrel-cli entry:  %8.1f ms (%6.2f us/file)\n", e / 1e6, e / 1e3 / n
  printf "vantrel-cli table:  %8.1f ms (%6.2f us/file)\n", t / 1e6, t / 1e3 / n
  printf "ratio table/entry:  %8.2f (target <= 1.0)\n", t / e
}'
