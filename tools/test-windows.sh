#!/usr/bin/env bash
# The Windows stage: cross-builds the core, vantrel-cli.exe and their tests
# with mingw-w64 (cmake/mingw-w64-x86_64.cmake) and runs the tests under Wine.
# Given a Linux build folder (with vantrel-cli and the sample pilot built),
# it also compares what vantrel-cli.exe prints with the Linux program's bytes.
# Then it packs the zip and checks what it holds.
#   tools/test-windows.sh [LINUX_BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX="${VANTREL_WINEPREFIX:-$PWD/build-win/wine}"
export WINEDEBUG=-all
started=$(date +%s)
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVANTREL_BUILD_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build-win -j"$(nproc)"
# The prefix is made once; a wineserver kept running spares each test its start.
if [ ! -d "$WINEPREFIX" ]; then
  wineboot -i > /dev/null 2>&1
fi
# Wine's own services start with the first program; started here, they do
# not hold ctest's output open.
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit > /dev/null 2>&1 < /dev/null

# No debugger for a program that crashes: Wine's winedbg, which it starts by
# default, sometimes leaves the crashed program with status 0. An empty
# Debugger value (removing it brings winedbg back) ends the program with the
# fault's code. tests/run_gtest.sh fails a crashed test program in any case.
aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
wine reg add "$aedebug" /v Debugger /t REG_SZ /d "" /f > /dev/null 2>&1 < /dev/null
wine reg add "$aedebug" /v Auto /t REG_SZ /d 0 /f > /dev/null 2>&1 < /dev/null

ctest --test-dir build-win --output-on-failure
if [ -n "${1:-}" ]; then
  echo "== vantrel-cli.exe against the Linux vantrel-cli"
  cmake --build "$1" -j"$(nproc)" --target vantrel-cli sample_pilot > /dev/null
  tests/compare_windows_cli.sh "$1/cli/vantrel-cli" build-win/cli/vantrel-cli.exe "$1/samples/Kestrel_Red.plt" \
    "$PWD/../shared/testdata/real"
fi
echo "== The Windows package"
(cd build-win && cpack -G ZIP > /dev/null)
zip=$(ls build-win/vantrel-cli-*-win64.zip)
listing=$(cmake -E tar tf "$zip")
echo "$zip: $(echo "$listing" | tr '\n' ' ')"
for wanted in vantrel-cli.exe README.txt LICENSE.txt; do
  echo "$listing" | grep -qx "\(bin/\)\?$wanted" || { echo "$zip lacks $wanted"; exit 1; }
done
echo "== Windows stage took $(( $(date +%s) - started )) s"
