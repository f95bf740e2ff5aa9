#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it with the bundled
# sample pilot file filled into the open dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build build -j"$(nproc)" --target vantrel vantrel-cli sample_pilot
exec build/gui/app/vantrel build/samples/Kestrel_Red.plt
