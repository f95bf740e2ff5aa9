#!/usr/bin/env bash
# The Windows stage: cross-builds the core, vantrel-cli.exe and their tests
# with mingw-w64 (cmake/mingw-w64-x86_64.cmake) and runs the tests under Wine.
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
ctest --test-dir build-win --output-on-failure
echo "== Windows stage took $(( $(date +%s) - started )) s"
