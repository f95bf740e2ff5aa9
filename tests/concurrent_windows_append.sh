#!/usr/bin/env bash
# vantrel-cli on Linux and vantrel-cli.exe under Wine appending to one main
# log at the same time: both take the lock beside the log, so every line of
# both is there afterwards. The Windows program names the log with a
# trailing dot, which Windows drops: the same file, and the same lock.
#   tests/concurrent_windows_append.sh LINUX_CLI WINDOWS_CLI PILOT [RUNS]
set -euo pipefail
linux=$1
windows=$2
pilot=$3
runs=${4:-40}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$pilot" "$work/p.plt"
printf '[ZADAdeda]\r\n' > "$work/vantrel.ini"
winwork="Z:$work"

appendLinux() {
  for _ in $(seq "$runs"); do
    "$linux" entry --ini "$work/vantrel.ini" --append "$work/log.txt" "$work/p.plt" || echo linux >> "$work/failed"
  done
}
appendWindows() {
  for _ in $(seq "$runs"); do
    "${VANTREL_WINE_RUN:-wine}" "$windows" entry --ini "$winwork/vantrel.ini" --append "$winwork/log.txt." "$winwork/p.plt" \
      < /dev/null || echo windows >> "$work/failed"
  done
}
appendLinux &
linuxJob=$!
appendWindows
wait "$linuxJob"

status=0
if [ -e "$work/failed" ]; then
  echo "failed runs: $(sort "$work/failed" | uniq -c | tr '\n' ' ')"
  status=1
fi
lines=$(grep -c $'\r$' "$work/log.txt" || true)
if [ "$lines" != $((2 * runs)) ]; then
  echo "the log holds $lines lines, not $((2 * runs))"
  status=1
fi
if [ "$(ls -A "$work" | grep -c '\.lock$')" != 1 ]; then
  echo "more than one lock file: $(ls -A "$work" | tr '\n' ' ')"
  status=1
fi
[ "$status" = 0 ] && echo "both programs appended all $((2 * runs)) lines to one log"
exit "$status"
