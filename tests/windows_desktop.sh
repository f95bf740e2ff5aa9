#!/usr/bin/env bash
# The Windows desktop program as a Windows user gets it, under Wine in Xvfb
# with the real windows platform plugin:
#  1. the portable zip, unzipped into an empty folder, starts with the sample
#     pilot as its argument (as a double click passes it): the open dialog
#     comes up with it, Enter opens it, and the pilot view and the main window
#     appear;
#  2. the installer, run silently in a new Wine prefix, installs for the
#     current user: the files, the Start menu entry and the .plt
#     registration; a .plt file started through the registration opens in the
#     installed program; the silent uninstall leaves no file, shortcut or
#     registry entry of ours behind.
#   tests/windows_desktop.sh ZIP SETUP_EXE SAMPLE_PILOT
set -uo pipefail
zip=$(realpath "$1")
setup=$(realpath "$2")
sample=$(realpath "$3")

work=$(mktemp -d)
display=":$((90 + RANDOM % 400))"
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k > /dev/null 2>&1
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
openbox > /dev/null 2>&1 &

# A prefix of our own: nothing of the build's prefix or of an earlier run is
# seen, and the program finds no DLL but those beside it.
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
unset WINEPATH WINEQT_QPA_PLATFORM QT_QPA_PLATFORM
wineboot -i > /dev/null 2>&1
wineserver -p

# Waits up to $2 seconds for a window whose title matches $1.
window_appears() {
  local deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    xdotool search --onlyvisible --name "$1" > /dev/null 2>&1 && return 0
    sleep 0.5
  done
  echo "  no window titled /$1/; windows shown:" >&2
  xdotool search --onlyvisible --name '.' 2> /dev/null | while read -r w; do
    echo "    $(xdotool getwindowname "$w" 2> /dev/null)" >&2
  done
  return 1
}
# Confirms the open dialog that a pilot given as argument brings up (the
# system's file dialog, which under Wine has no title) until the pilot view
# titled $1 shows: Enter goes to each untitled window in turn, as the splash
# screen, also untitled, may still be up.
open_through_dialog() {
  local deadline=$((SECONDS + 90))
  while ((SECONDS < deadline)); do
    for w in $(xdotool search --onlyvisible --name '' 2> /dev/null); do
      [ -z "$(xdotool getwindowname "$w" 2> /dev/null)" ] || continue
      xdotool windowactivate --sync "$w" > /dev/null 2>&1 || continue
      sleep 0.3
      xdotool key --clearmodifiers Return
      sleep 2
      xdotool search --onlyvisible --name "$1" > /dev/null 2>&1 && return 0
    done
    sleep 1
  done
  window_appears "$1" 1
}
stop_programs() {
  wineserver -k > /dev/null 2>&1
  sleep 1
  wineserver -p
}

echo "== The portable zip"
mkdir "$work/portable"
(cd "$work/portable" && cmake -E tar xf "$zip")
cp "$sample" "$work/Kestrel Red.plt"
(cd "$work/portable" && wine ./vantrel.exe "Z:${work//\//\\}\\Kestrel Red.plt" > "$work/portable.log" 2>&1 &)
check "the open dialog with the pilot opens it in the pilot view" open_through_dialog 'Kestrel Red\.plt'
check "the main window is shown" window_appears '^Vantrel' 30
[ -n "${VANTREL_SCREENSHOTS:-}" ] && import -window root "$VANTREL_SCREENSHOTS/wine-portable.png"
stop_programs

echo "== The installer"
timeout 300 wine "$setup" /S > "$work/setup.log" 2>&1
check "the installer ends with status 0" test $? -eq 0
local_appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2> /dev/null | tr -d '\r')
start_menu=$(wine cmd /c 'echo %APPDATA%' 2> /dev/null | tr -d '\r')'\Microsoft\Windows\Start Menu\Programs'
installed=$(winepath -u "$local_appdata\\Programs\\Vantrel" 2> /dev/null)
shortcut=$(winepath -u "$start_menu\\Vantrel.lnk" 2> /dev/null)
check "vantrel.exe is installed in the user's programs folder" test -f "$installed/vantrel.exe"
check "vantrel-cli.exe is installed beside it" test -f "$installed/vantrel-cli.exe"
check "the windows platform plugin is installed" test -f "$installed/platforms/qwindows.dll"
check "the uninstaller is installed" test -f "$installed/Uninstall.exe"
check "the Start menu entry is made" test -f "$shortcut"
registered() { wine reg query "$1" /ve 2> /dev/null | tr -d '\r' | grep -qF -- "$2"; }
check ".plt is a Vantrel pilot file" registered 'HKCU\Software\Classes\.plt' 'Vantrel.PilotFile'
check "a pilot file opens with the installed vantrel.exe" \
  registered 'HKCU\Software\Classes\Vantrel.PilotFile\shell\open\command' '\Programs\Vantrel\vantrel.exe" "%1"'
check "Vantrel is offered in Open with" \
  bash -c "wine reg query 'HKCU\\Software\\Classes\\.plt\\OpenWithProgids' 2> /dev/null | grep -q Vantrel.PilotFile"
check "the uninstaller is registered" \
  bash -c "wine reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel' /v UninstallString 2> /dev/null | grep -q Uninstall.exe"

# A double click: Explorer runs the command .plt is registered to, with the
# file for %1. Wine 8's shell reads only the machine's classes, not the
# user's (HKCU\Software\Classes, where a per-user install registers, as
# Windows merges them), so the registered command is run here as Explorer
# runs it.
command=$(wine reg query 'HKCU\Software\Classes\Vantrel.PilotFile\shell\open\command' /ve 2> /dev/null |
  tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p')
registered_exe=$(printf '%s' "$command" | sed -n 's/^"\([^"]*\)" "%1"$/\1/p')
check "the registered command is the installed program with the file" test -n "$registered_exe"
(timeout 120 wine "$registered_exe" "Z:${work//\//\\}\\Kestrel Red.plt" > /dev/null 2>&1 &)
check "a double-clicked pilot opens in the installed program's pilot view" open_through_dialog 'Kestrel Red\.plt'
[ -n "${VANTREL_SCREENSHOTS:-}" ] && import -window root "$VANTREL_SCREENSHOTS/wine-installed.png"
stop_programs

echo "== The uninstaller"
timeout 120 wine "$installed/Uninstall.exe" /S > /dev/null 2>&1
# The uninstaller runs from a copy of itself in the temporary folder.
for _ in $(seq 60); do [ -e "$installed" ] || break; sleep 0.5; done
check "the installed folder is gone" test ! -e "$installed"
check "the Start menu entry is gone" test ! -e "$shortcut"
gone() { ! wine reg query "$1" > /dev/null 2>&1; }
check "the pilot file type is gone" gone 'HKCU\Software\Classes\Vantrel.PilotFile'
check ".plt is registered to nothing of ours" gone 'HKCU\Software\Classes\.plt'
check "the Open with entry is gone" gone 'HKCU\Software\Classes\Applications\vantrel.exe'
check "the uninstall entry is gone" gone 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'
check "the installer's own key is gone" gone 'HKCU\Software\Vantrel'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
