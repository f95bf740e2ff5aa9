#!/usr/bin/env bash
# Packs what the Windows build installs, twice:
#   BUILD/Vantrel-<version>-win64.zip        portable: unzip anywhere and run
#   BUILD/Vantrel-<version>-win64-setup.exe  the installer (installer.nsi)
# and prints their names.
#   dist/windows/package.sh BUILD
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package.sh: no project version in $build/CMakeCache.txt" >&2; exit 1; }
name="Vantrel-$version-win64"
stage="$build/stage"

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" --strip > "$build/stage.log"

rm -f "$build/$name.zip"
(cd "$stage" && cmake -E tar cf "$build/$name.zip" --format=zip -- *)

# The installer installs every staged file and its uninstaller removes
# exactly those, folders last (deepest first), never a folder it did not make.
nsis="$build/nsis"
rm -rf "$nsis"
mkdir -p "$nsis"
(
  cd "$stage"
  find . -type d ! -name . | sed 's|^\./||' | sort | while read -r dir; do
    printf 'SetOutPath "$INSTDIR\\%s"\n' "${dir//\//\\}"
    find "$dir" -maxdepth 1 -type f | sort | while read -r f; do
      printf 'File "%s/%s"\n' "$stage" "$f"
    done
  done
  printf 'SetOutPath "$INSTDIR"\n'
  find . -maxdepth 1 -type f | sed 's|^\./||' | sort | while read -r f; do
    printf 'File "%s/%s"\n' "$stage" "$f"
  done
) > "$nsis/files.nsh"
(
  cd "$stage"
  find . -type f | sed 's|^\./||; s|/|\\|g' | sort | while read -r f; do
    printf 'Delete "$INSTDIR\\%s"\n' "$f"
  done
  find . -type d ! -name . | sed 's|^\./||' | sort -r | while read -r dir; do
    printf 'RMDir "$INSTDIR\\%s"\n' "${dir//\//\\}"
  done
) > "$nsis/unfiles.nsh"

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$nsis/files.nsh" -DUNFILES="$nsis/unfiles.nsh" \
  -DICON="$here/../../resources/vantrel.ico" -DOUTFILE="$build/$name-setup.exe" "$here/installer.nsi" \
  > "$nsis/makensis.log" || { cat "$nsis/makensis.log" >&2; exit 1; }
echo "$build/$name.zip"
echo "$build/$name-setup.exe"
