; The player's installer: one program file (the updater travels inside it), per user, no
; administrator. makensis is run by the build (src/installer/CMakeLists.txt) with
;   -DVERSION=major.minor.revision -DTARGET=x86-unicode|amd64-unicode -DSHELL_EXE=... -DOUT_FILE=...
;   -DGAME=product name -DPRODUCT=window caption -DPUBLISHER=publisher
; The folder stays writable by the player, so the updater, which runs as the player, can
; replace the program file in place.
; A build that signs adds -DSIGN=COMMAND, which signs the file named after it in place.
Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel user
!ifdef SIGN
  ; The uninstaller is signed before it is packed, so the one the installer writes is signed.
  !uninstfinalize '${SIGN} "%1"' = 0
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

; The product's names come from the build, which sets them once (CMakeLists.txt).
!ifndef GAME | PRODUCT | PUBLISHER
  !error "makensis needs -DGAME=name -DPRODUCT=caption -DPUBLISHER=name (src/installer/CMakeLists.txt)"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\xcyh2"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\${GAME}"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${GAME}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© ${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT}安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}.0"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\xcyh2.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  ; Shortcuts and the uninstall entry belong to the player who installs.
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=xcyh2.exe" "${SHELL_EXE}"
  WriteUninstaller "$INSTDIR\uninst.exe"

  CreateDirectory "$SMPROGRAMS\${GAME}"
  CreateShortcut "$SMPROGRAMS\${GAME}\${GAME}.lnk" "$INSTDIR\xcyh2.exe"
  CreateShortcut "$SMPROGRAMS\${GAME}\卸载${GAME}.lnk" "$INSTDIR\uninst.exe"
  CreateShortcut "$DESKTOP\${GAME}.lnk" "$INSTDIR\xcyh2.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\xcyh2.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Deletes a file that may be in use a moment longer: the program still ending, or the
; uninstaller's own first copy, which started this one from the temporary folder and is ending
; itself. Tried for up to 10 s.
!macro DeleteWhenFree FILE
  StrCpy $0 0
  ${Do}
    Delete "${FILE}"
    ${IfNot} ${FileExists} "${FILE}"
    ${OrIf} $0 >= 40
      ${Break}
    ${EndIf}
    IntOp $0 $0 + 1
    Sleep 250
  ${Loop}
!macroend

Section "Uninstall"
  ; Only what the installer put there: a folder the player chose may hold other files.
  !insertmacro DeleteWhenFree "$INSTDIR\xcyh2.exe"
  !insertmacro DeleteWhenFree "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
  Delete "$DESKTOP\${GAME}.lnk"
  Delete "$SMPROGRAMS\${GAME}\${GAME}.lnk"
  Delete "$SMPROGRAMS\${GAME}\卸载${GAME}.lnk"
  RMDir "$SMPROGRAMS\${GAME}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
