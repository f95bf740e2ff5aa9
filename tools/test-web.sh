#!/usr/bin/env bash
# Builds the browser page with emscripten and vantrel-cli for this machine,
# then drives the page in headless Chromium and compares every text and file
# it gives with vantrel-cli's (tests/web/test_web.py). Fails on any mismatch.
#
# Usage: tools/test-web.sh [HOST_BUILD_DIR]
# HOST_BUILD_DIR is a configured build of this machine whose vantrel-cli and
# sample pilot are used (built here if out of date); by default
# build-web-host, configured here when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# The emscripten tools find their acorn module here.
export NODE_PATH=/usr/share/nodejs

host="${1:-build-web-host}"
if [ ! -f "$host/CMakeCache.txt" ]; then
  cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_GUI=OFF -DBUILD_TESTING=OFF \
    -DVANTREL_BENCH=OFF > /dev/null
fi
cmake --build "$host" -j"$jobs" --target vantrel-cli sample_pilot

if [ ! -f build-web/CMakeCache.txt ]; then
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_GUI=OFF > /dev/null
fi
cmake --build build-web -j"$jobs" --target vantrel-web

/usr/bin/python3 tests/web/test_web.py --page build-web/web --cli "$host/cli/vantrel-cli" \
  --sample "$host/samples/Kestrel_Red.plt"
