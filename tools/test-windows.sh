#!/usr/bin/env bash
# The Windows stage: cross-builds everything for Windows with mingw-w64
# against Qt for Windows (tools/qt-windows.sh, built once per machine) and
# tests it under Wine:
#  - the core, CLI and window tests (the windows on Qt's offscreen platform);
#  - vantrel-cli.exe's output against the Linux program's bytes, given a
#    Linux build folder (with vantrel-cli and the sample pilot built), and
#    both programs appending to one log at once;
#  - the portable zip and the installer that a Windows user downloads
#    (dist/windows/package.sh): what they hold, and vantrel.exe started from
#    each in Xvfb with the real windows platform (tests/windows_desktop.sh).
#   tools/test-windows.sh [LINUX_BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)

qt=$(tools/qt-windows.sh)
echo "Qt for Windows: $qt ($(cat "$qt/complete"))"

export WINEPREFIX="${VANTREL_WINEPREFIX:-$PWD/build-win/wine}"
export WINEDEBUG=-all
# The window tests run on Qt's offscreen platform (Wine passes WINE-prefixed
# variables on without the prefix). Wine finds the DLLs of Qt and of the C++
# runtime through the build's own wine-run.sh, which the scripts below run
# too (VANTREL_WINE_RUN).
export WINEQT_QPA_PLATFORM=offscreen

cmake -S . -B build-win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DJPEG_INCLUDE_DIR="$qt/jpeg/include" -DJPEG_LIBRARY="$qt/jpeg/lib/libjpeg.a" > /dev/null
cmake --build build-win -j"$(nproc)"
# The prefix is made once; a wineserver kept running spares each test its start.
if [ ! -d "$WINEPREFIX" ]; then
  wineboot -i > /dev/null 2>&1
  # A new prefix goes on setting itself up (devices, services) after
  # wineboot returns; the tests start once all of that has ended.
  wineserver -w
fi
# Wine's own services start with the first program; started here, they do
# not hold ctest's output open.
wineserver -p 2> /dev/null || true  # one may be running already
trap 'wineserver -k || true' EXIT
wine cmd /c exit > /dev/null 2>&1 < /dev/null
export VANTREL_WINE_RUN="$PWD/build-win/wine-run.sh"

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
  echo "== vantrel-cli.exe and the Linux vantrel-cli appending to one log"
  tests/concurrent_windows_append.sh "$1/cli/vantrel-cli" build-win/cli/vantrel-cli.exe "$1/samples/Kestrel_Red.plt"
fi

echo "== The Windows packages"
mapfile -t packages < <(dist/windows/package.sh build-win)
zip=${packages[0]}
setup=${packages[1]}
listing=$(cmake -E tar tf "$zip" | sort)
echo "$zip: $(echo "$listing" | tr '\n' ' ')"
echo "$setup: $(stat -c %s "$setup") bytes"
for wanted in vantrel.exe vantrel-cli.exe platforms/qwindows.dll styles/qwindowsvistastyle.dll \
  Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
  README.txt LICENSE.txt QT-LICENSE.txt LGPL-3.0.txt GPL-3.0.txt; do
  echo "$listing" | grep -qxF "$wanted" || { echo "$zip lacks $wanted"; exit 1; }
done
# No DLL that nothing loads: the test library, for one, stays out.
for unwanted in Qt6Test.dll qoffscreen.dll qminimal.dll; do
  if echo "$listing" | grep -qF "$unwanted"; then echo "$zip holds $unwanted"; exit 1; fi
done
wineserver -k || true
tests/windows_desktop.sh "$zip" "$setup" build-win/samples/Kestrel_Red.plt
echo "== Windows stage took $(($(date +%s) - started)) s"
