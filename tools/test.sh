#!/usr/bin/env bash
# Installs what is missing, checks the C++ style, builds everything and runs
# every test:
#  1. the unit, window and command-line tests under AddressSanitizer and
#     UndefinedBehaviorSanitizer;
#  2. the Windows build (tools/test-windows.sh) against Qt for Windows built
#     from Debian's source (once per machine, cached): the core, CLI and
#     window tests under Wine, vantrel-cli.exe's output against the Linux
#     program's, the zip and the installer, vantrel.exe in Xvfb;
#  3. the browser page against vantrel-cli in headless Chromium;
#  4. each libFuzzer target for VANTREL_FUZZ_SECONDS (default 30) seconds,
#     also under both sanitizers.
# Any failure or sanitizer finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

jobs=$(nproc)
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
export XDG_DATA_HOME="${XDG_DATA_HOME:-$(mktemp -d)}"
# Every build goes through ccache, kept outside the checkout, so that a run on
# a fresh clone of a commit already built here compiles little.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/ccache-project}"
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime

echo "== Style (clang-format, .clang-format)"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

echo "== Style (ESLint, eslint.config.mjs)"
node_modules/.bin/eslint --max-warnings 0 web/js
# The service worker is a template: the build puts the page's files in for @FILES@.
sed 's/@FILES@/[]/' web/sw.js | node_modules/.bin/eslint --max-warnings 0 --stdin --stdin-filename web/sw.js

echo "== Build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON -DVANTREL_BENCH=ON > /dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test -j"$jobs" --output-on-failure

echo "== Windows build (mingw-w64, tests under Wine)"
tools/test-windows.sh build-test

echo "== Browser page (headless Chromium)"
tools/test-web.sh build-test

echo "== Fuzzing (${VANTREL_FUZZ_SECONDS:-30} s per target)"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVANTREL_FUZZ=ON -DVANTREL_SANITIZE=ON -DVANTREL_BUILD_GUI=OFF -DBUILD_TESTING=ON -DVANTREL_BENCH=OFF \
  -DVANTREL_FUZZ_SECONDS="${VANTREL_FUZZ_SECONDS:-30}" > /dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_pilot_reports fuzz_pilot_save fuzz_settings_reader fuzz_library_list
ctest --test-dir build-fuzz -L fuzz --output-on-failure
