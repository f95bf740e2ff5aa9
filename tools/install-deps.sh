#!/usr/bin/env bash
# Installs the Debian packages the project needs that are not installed yet.
# Runs apt-get only when something is missing; uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg-dev
  libexpat1-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  fonts-liberation
  desktop-file-utils appstream dpkg-dev file groff-base shared-mime-info
  xvfb xauth imagemagick
  emscripten chromium chromium-driver python3-selenium
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64
  ccache nsis clang-format xdotool openbox
  nodejs
)

# Qt and libjpeg for Windows are built from Debian's own source packages
# (tools/qt-windows.sh), which apt-get source finds only with a deb-src entry.
enable_deb_src() {
  local f=/etc/apt/sources.list.d/debian.sources
  [ -f "$f" ] || return 1
  grep -q '^Types:.*deb-src' "$f" && return 1
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
}
src_added=0
if enable_deb_src; then src_added=1; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# npm comes with Debian's npm package, or inside a Node.js from elsewhere
# (NodeSource's nodejs package holds it).
if ! command -v npm > /dev/null; then
  missing+=(npm)
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif ((src_added)); then
  $sudo apt-get update -qq
fi

# ESLint for the browser page's JavaScript, at the versions package-lock.json
# holds, into node_modules/ of the checkout.
cd "$(dirname "$0")/.."
if [ ! -x node_modules/.bin/eslint ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
