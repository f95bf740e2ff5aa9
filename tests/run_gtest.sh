#!/usr/bin/env bash
# Runs one GoogleTest program as one ctest test, for builds that run their
# tests through an emulator (the Windows build under Wine):
#   tests/run_gtest.sh [EMULATOR...] -- PROGRAM [ARGUMENTS...]
# The program passes only when it ends with status 0 AND its closing summary
# says that every test it lists (--gtest_list_tests, with the same
# arguments) ran and none failed. Status 0 alone proves little under Wine: a
# debugger that attaches to a crashed program may leave it with status 0, and
# a program that calls exit(0) in the middle of its tests ends with 0 too.
set -uo pipefail

emulator=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  emulator+=("$1")
  shift
done
if [ $# -lt 2 ]; then
  echo "usage: $0 [EMULATOR...] -- PROGRAM [ARGUMENTS...]" >&2
  exit 2
fi
shift
program=$1
shift

# The tests the program holds, less the disabled ones (GoogleTest lists them
# but does not run them): a suite line ends with '.', a test line starts with
# two blanks; either may carry a "# GetParam() = ..." note.
listing=$("${emulator[@]}" "$program" "$@" --gtest_list_tests < /dev/null | tr -d '\r')
status=$?
if [ "$status" -ne 0 ]; then
  echo "run_gtest: listing the tests of $program ended with status $status" >&2
  exit 1
fi
expected=$(printf '%s\n' "$listing" | awk '
  /^[^ ]/ { suite = $1; next }
  /^  [^ ]/ {
    if (suite ~ /(^|\/)DISABLED_/ || $1 ~ /(^|\/)DISABLED_/) next
    count++
  }
  END { print count + 0 }')

log=$(mktemp)
trap 'rm -f "$log"' EXIT
"${emulator[@]}" "$program" "$@" < /dev/null 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
tr -d '\r' < "$log" > "$log.lf" && mv "$log.lf" "$log"

# "[==========] 12 tests from 3 test suites ran. (5 ms total)"
ran=$(sed -n 's/^\[==========\] \([0-9][0-9]*\) tests\? from .* ran\..*/\1/p' "$log" | tail -n 1)
# "[  PASSED  ] 11 tests." and "[  SKIPPED ] 1 test, listed below:"
passed=$(sed -n 's/^\[  PASSED  \] \([0-9][0-9]*\) tests\?\..*/\1/p' "$log" | tail -n 1)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9][0-9]*\) tests\?, listed below:.*/\1/p' "$log" | tail -n 1)
failed=$(sed -n 's/^\[  FAILED  \] \([0-9][0-9]*\) tests\?, listed below:.*/\1/p' "$log" | tail -n 1)

verdict=""
if [ -z "$ran" ]; then
  last=$(sed -n 's/^\[ RUN      \] //p' "$log" | tail -n 1)
  verdict="the program ended before GoogleTest's closing summary (crashed or exited early${last:+; the last test started was $last})"
elif [ "$ran" -ne "$expected" ]; then
  verdict="$ran of the $expected tests the program lists ran"
elif [ -n "$failed" ] && [ "$failed" -ne 0 ]; then
  verdict="$failed of $ran tests failed"
elif [ $(( ${passed:-0} + ${skipped:-0} )) -ne "$ran" ]; then
  verdict="of $ran tests run, ${passed:-0} passed and ${skipped:-0} were skipped"
elif [ "$status" -ne 0 ]; then
  verdict="the program ended with status $status after its summary"
fi
if [ -n "$verdict" ]; then
  echo "run_gtest: FAILED: $program: $verdict (exit status $status)"
  exit 1
fi
exit 0
