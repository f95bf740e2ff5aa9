#!/usr/bin/env bash
# Runs vantrel-cli.exe under Wine and the Linux vantrel-cli on the same pilot
# files and compares what they print (standard output, standard error and the
# exit status) byte for byte.
#   tests/compare_windows_cli.sh LINUX_CLI WINDOWS_CLI SAMPLE_PILOT [REAL_PILOTS_DIR]
set -uo pipefail
linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
sample=$(realpath "$3")
real_dir=${4:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
# Relative names, so that both programs are given the same bytes.
cp "$sample" sample.plt
cp sample.plt same.plt
printf 'x' > short.plt
: > empty.ini
pilots=(sample.plt)
if [ -n "$real_dir" ] && compgen -G "$real_dir/*.plt" > /dev/null; then
  n=0
  for f in "$real_dir"/*.plt; do
    n=$((n + 1))
    cp "$f" "real$n.plt"
    pilots+=("real$n.plt")
  done
else
  echo "The real pilot files are absent (${real_dir:-no folder given}): compared on the sample pilot only."
fi

passed=0
failed=0
# compare_typed NAME LINUX_ARGS... :: WINDOWS_ARGS...: the two programs given
# what a user types in each system's shell, which differ where a POSIX shell
# does what cmd leaves to the program (wildcards).
compare_typed() {
  local name=$1
  shift
  local linux_args=()
  while [ "$1" != "::" ]; do
    linux_args+=("$1")
    shift
  done
  shift
  HOME="$work" "$linux_cli" "${linux_args[@]}" > linux.out 2> linux.err
  local linux_status=$?
  "${VANTREL_WINE_RUN:-wine}" "$windows_cli" "$@" > windows.out 2> windows.err < /dev/null
  local windows_status=$?
  if cmp -s linux.out windows.out && cmp -s linux.err windows.err && [ "$linux_status" = "$windows_status" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "DIFFERENT: $name (exit status $linux_status on Linux, $windows_status on Windows)"
    diff <(od -c linux.out) <(od -c windows.out) | head -n 10
    diff <(od -c linux.err) <(od -c windows.err) | head -n 10
  fi
}

compare() {
  local name=$1
  shift
  compare_typed "$name" "$@" :: "$@"
}

for p in "${pilots[@]}"; do
  compare "report $p" report --ini empty.ini "$p"
  compare "report --from 3 $p" report --ini empty.ini --from 3 "$p"
  compare "missions $p" missions --ini empty.ini "$p"
  compare "entry $p" entry --ini empty.ini "$p"
done
compare "entry of all" entry --ini empty.ini "${pilots[@]}"
compare "table tsv" table --ini empty.ini "${pilots[@]}" short.plt
compare "table csv" table --ini empty.ini --format csv "${pilots[@]}" short.plt
compare "table csv with a byte order mark" table --ini empty.ini --format csv --bom "${pilots[@]}"
compare "diff of two same files" diff sample.plt same.plt
if [ "${#pilots[@]}" -gt 1 ]; then
  compare "diff ${pilots[1]} sample.plt" diff "${pilots[1]}" sample.plt
  compare "diff sample.plt ${pilots[-1]}" diff sample.plt "${pilots[-1]}"
fi
compare "load error: a short file" report --ini empty.ini short.plt
compare "load error: a missing file" report --ini empty.ini missing.plt
compare "load error in entry" entry --ini empty.ini sample.plt short.plt missing.plt
compare "diff with a short file" diff sample.plt short.plt
compare "usage" report
# Two folders, before and after a battle, with pilots whose names are not
# ASCII: each name printed once as UTF-8.
mkdir -p before after
cp sample.plt "before/Jäger.plt"
cp sample.plt "before/Ölfass.plt"
cp "${pilots[-1]}" "after/Jäger.plt"
cp sample.plt "after/Ärger.plt"
compare "diff of two folders with non-ASCII names" diff before after
# A wildcard: expanded by the Linux shell, by vantrel-cli.exe itself on Windows.
mkdir -p "Battle 12"
cp sample.plt "Battle 12/Red_1.plt"
cp "${pilots[-1]}" "Battle 12/Red_2.plt"
cp sample.plt "Battle 12/Blue.plt"
compare_typed "entry of a wildcard" entry --ini empty.ini "Battle 12"/Red_*.plt :: entry --ini empty.ini 'Battle 12\Red_*.plt'
# A pilot in a folder chain past the 260 characters of Windows's classic calls.
deep=.
for i in $(seq 10 24); do deep="$deep/Squadron folder $i"; done
mkdir -p "$deep"
cp sample.plt "$deep/Deep.plt"
compare "report of a pilot past 260 characters" report --ini empty.ini "$deep/Deep.plt"
compare "entry of a pilot past 260 characters" entry --ini empty.ini "$deep/Deep.plt"
compare "table of a pilot past 260 characters" table --ini empty.ini "$deep/Deep.plt" "$deep/missing.plt"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
