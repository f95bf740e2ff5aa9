; The Windows installer: Vantrel for the current user, without administrator
; rights. Made by dist/windows/package.sh, which passes
;   VERSION   the program's version
;   STAGE     the folder the Windows build installed into
;   FILES     a generated list of File commands for what STAGE holds
;   UNFILES   the matching Delete and RMDir commands
;   ICON      the program's icon
;   OUTFILE   the installer to write
Unicode true
; A 64-bit installer for a 64-bit program: it needs no 32-bit Windows
; layer, and sees the registry and folders as the program does.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define PROGID "Vantrel.PilotFile"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define OWNKEY "Software\Vantrel"

Name "Vantrel"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Vantrel"
InstallDirRegKey HKCU "${OWNKEY}" "InstallDir"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Vantrel"
VIAddVersionKey "FileDescription" "Vantrel installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT licence"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\vantrel.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Vantrel"
  SetShellVarContext current
  SetRegView 64
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Vantrel.lnk" "$INSTDIR\vantrel.exe" "" "$INSTDIR\vantrel.exe" 0

  ; Pilot files open with Vantrel on a double click and are offered in
  ; "Open with". The type's previous default, if another program had it, is
  ; kept to give back on uninstall.
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "X-Wing Alliance pilot file"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\vantrel.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\vantrel.exe" "%1"'
  ReadRegStr $0 HKCU "Software\Classes\.plt" ""
  StrCmp $0 "${PROGID}" +2 0
    WriteRegStr HKCU "${OWNKEY}" "PreviousPltType" "$0"
  WriteRegStr HKCU "Software\Classes\.plt" "" "${PROGID}"
  WriteRegStr HKCU "Software\Classes\.plt\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "Software\Classes\Applications\vantrel.exe" "FriendlyAppName" "Vantrel"
  WriteRegStr HKCU "Software\Classes\Applications\vantrel.exe\SupportedTypes" ".plt" ""
  WriteRegStr HKCU "Software\Classes\Applications\vantrel.exe\shell\open\command" "" '"$INSTDIR\vantrel.exe" "%1"'

  WriteRegStr HKCU "${OWNKEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "Vantrel"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "Vantrel"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\vantrel.exe,0"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
  ; SHCNE_ASSOCCHANGED: Explorer shows the new icon and handler at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Removes what the installer put there and nothing else: the settings, the
; main log and the backups are the user's and stay.
Section "Uninstall"
  SetShellVarContext current
  SetRegView 64
  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Vantrel.lnk"

  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.plt\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\.plt\OpenWithProgids"
  ReadRegStr $0 HKCU "Software\Classes\.plt" ""
  StrCmp $0 "${PROGID}" 0 type_done
    ReadRegStr $1 HKCU "${OWNKEY}" "PreviousPltType"
    StrCmp $1 "" 0 +3
      DeleteRegValue HKCU "Software\Classes\.plt" ""
      Goto type_done
    WriteRegStr HKCU "Software\Classes\.plt" "" "$1"
  type_done:
  DeleteRegKey /ifempty HKCU "Software\Classes\.plt"
  DeleteRegKey HKCU "Software\Classes\Applications\vantrel.exe"
  DeleteRegKey HKCU "${UNINSTKEY}"
  DeleteRegKey HKCU "${OWNKEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
