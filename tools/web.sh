#!/usr/bin/env bash
# Builds the browser page (emscripten) and serves it on this machine only,
# at the address printed, until interrupted.
#
# Usage: tools/web.sh [PORT]   (default 8022)
set -euo pipefail
cd "$(dirname "$0")/.."
port="${1:-8022}"
export NODE_PATH=/usr/share/nodejs
if [ ! -f build-web/CMakeCache.txt ]; then
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_GUI=OFF > /dev/null
fi
cmake --build build-web -j"$(nproc)" --target vantrel-web
echo "Vantrel in the browser: http://127.0.0.1:$port/"
echo "(the files to put on a web host are those in build-web/web)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/web
