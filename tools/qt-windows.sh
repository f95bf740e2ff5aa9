#!/usr/bin/env bash
# Qt and libjpeg for Windows (x86_64-w64-mingw32), built from Debian's own
# source packages with Debian's mingw-w64 (posix threads) and the host tools
# of the installed Qt, into a cache folder outside the checkout:
#   ${XDG_CACHE_HOME:-~/.cache}/vantrel/win64-<versions>-<recipe hash>/
#     qt/    Qt's base module: Core, Gui, Widgets, Test as DLLs, the windows
#            and offscreen platform plugins, the Windows styles
#     jpeg/  libjpeg, static
# Built once per machine (with ccache), then reused: a warm run only prints
# the folder. The folder is the one line this script writes to stdout;
# progress goes to stderr and the build's own output to a log in the cache.
#   tools/qt-windows.sh
set -euo pipefail

triple=x86_64-w64-mingw32
jobs=$(nproc)
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/vantrel"
say() { echo "qt-windows: $*" >&2; }

# The host tools (moc, rcc, uic) must be the exact version of the Qt built.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/+b[0-9]*$//')
jpeg_version=$(dpkg-query -W -f='${Version}' libjpeg62-turbo-dev | sed 's/+b[0-9]*$//')
gcc_version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)
recipe=$(sha256sum "$0" | cut -c1-12)
key=$(echo "qt-$qt_version-jpeg-$jpeg_version-gcc-$gcc_version" | tr -c 'A-Za-z0-9.\n-' '_')
prefix="$cache_root/win64-$key-$recipe"

if [ -f "$prefix/complete" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache_root"
# One build at a time per machine; a second caller waits and then reuses it.
exec 9> "$cache_root/build.lock"
flock 9
if [ -f "$prefix/complete" ]; then
  echo "$prefix"
  exit 0
fi

started=$(date +%s)
work="$cache_root/work-$key-$recipe"
rm -rf "$work" "$prefix"
mkdir -p "$work"
log="$work/build.log"
say "building Qt $qt_version and libjpeg $jpeg_version for Windows into $prefix (log: $log)"
trap 'status=$?; if ((status)); then say "failed; the end of $log:"; tail -n 40 "$log" >&2; fi' EXIT

run() { "$@" >> "$log" 2>&1; }

export CCACHE_DIR="${CCACHE_DIR:-$cache_root/ccache}"
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-6G}"
export CCACHE_BASEDIR="$work"
export CCACHE_NOHASHDIR=1
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime

cd "$work"
run apt-get source --download-only "qt6-base=$qt_version" "libjpeg-turbo=$jpeg_version"

# The toolchain: Debian's mingw-w64 with posix threads, DLLs linked against
# the shared C++ runtime (the one the program ships).
cat > toolchain.cmake <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# --- libjpeg (static; the program links it in) ---
say "libjpeg"
run dpkg-source -x libjpeg-turbo_*.dsc jpeg-src
run cmake -S jpeg-src -B jpeg-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_INSTALL_PREFIX="$prefix/jpeg" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF
run cmake --build jpeg-build -j"$jobs"
run cmake --install jpeg-build

# --- Qt's base module ---
say "Qt: unpacking"
run dpkg-source -x --skip-patches qt6-base_*.dsc qtbase
cd qtbase
# Debian's patches, less the one for Debian's own cross-architecture builds.
while read -r patch; do
  case "$patch" in "" | \#*) continue ;; esac
  [ "$patch" = cross.patch ] && continue
  run patch -p1 -i "debian/patches/$patch"
done < debian/patches/series

# Three places where the Windows platform plugin does not build from this
# source as configured below:
# - Debian's source leaves out Wintab's headers (src/3rdparty/wintab), so
#   the plugin is built without Wintab tablets (pen input still works
#   through Windows' pointer messages);
# - software OpenGL detection is compiled even with OpenGL off;
# - the DirectWrite font database is referenced even though QtGui builds it
#   only with Direct2D (here off: GDI fonts are used).
plugin=src/plugins/platforms/windows
sed -i 's/^qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent$/qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION FALSE/' \
  "$plugin/CMakeLists.txt"
sed -i 's/^#if QT_CONFIG(tabletevent)/#if 0 \/\/ no Wintab headers in this source/' "$plugin/qwindowscontext.cpp"
sed -i 's/^#  include "qwindowstabletsupport.h"$/\/\/ no Wintab headers in this source/' "$plugin/qwindowspointerhandler.cpp"
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$plugin/qwindowswindow.cpp"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$plugin/qwindowsintegration.cpp"
grep -q 'CONDITION FALSE' "$plugin/CMakeLists.txt"
grep -q 'no Wintab headers' "$plugin/qwindowscontext.cpp"
grep -q 'no Wintab headers' "$plugin/qwindowspointerhandler.cpp"
grep -q 'dynamicgl) && QT_CONFIG(opengl)' "$plugin/qwindowswindow.cpp"
grep -q 'directwrite3) && QT_CONFIG(direct2d)' "$plugin/qwindowsintegration.cpp"
cd ..

off_features=(network sql dbus opengl printsupport concurrent xml openssl icu vulkan direct2d zstd
  androiddeployqt system_zlib system_pcre2 system_png system_jpeg system_freetype system_harfbuzz
  system_doubleconversion)
flags=()
for f in "${off_features[@]}"; do flags+=("-DFEATURE_$f=OFF"); done

say "Qt: configuring"
run cmake -S qtbase -B qt-build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix/qt" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  "${flags[@]}"
say "Qt: building (about an hour on two cores when ccache is cold)"
run cmake --build qt-build -j"$jobs"
run cmake --install qt-build --strip

# Nothing beyond what was asked for: no network, SQL, D-Bus, OpenGL or
# printing library was built.
for lib in Core Gui Widgets Test; do
  [ -f "$prefix/qt/bin/Qt6$lib.dll" ] || { say "Qt6$lib.dll was not built"; exit 1; }
done
for plugin_dll in platforms/qwindows.dll platforms/qoffscreen.dll; do
  [ -f "$prefix/qt/plugins/$plugin_dll" ] || { say "$plugin_dll was not built"; exit 1; }
done
if ls "$prefix/qt/bin" | grep -E 'Qt6(Network|Sql|DBus|OpenGL|PrintSupport)' >&2; then
  say "unwanted Qt modules were built"
  exit 1
fi
[ -f "$prefix/jpeg/lib/libjpeg.a" ] || { say "libjpeg.a was not built"; exit 1; }

echo "Qt $qt_version, libjpeg $jpeg_version, mingw-w64 $gcc_version; built in $(($(date +%s) - started)) s" \
  > "$prefix/complete"
cd /
rm -rf "$work"
# Older builds (other versions or recipes) are no longer used.
for old in "$cache_root"/win64-* "$cache_root"/work-*; do
  [ "$old" = "$prefix" ] || rm -rf "$old"
done
say "done in $(($(date +%s) - started)) s"
echo "$prefix"
