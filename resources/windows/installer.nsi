; The Windows installer of Pellrig. scripts/package-windows.sh runs makensis
; with VERSION, ICON, OUTFILE and FILES (a folder holding install.nsh and
; uninstall.nsh, the installed files listed one by one).
; A 64-bit installer for a 64-bit program (and Wine without its 32-bit part).
Target amd64-unicode
SetCompressor /SOLID lzma
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellrig"

Name "Pellrig ${VERSION}"
OutFile "${OUTFILE}"
; The settings file lives beside the program, so the program goes where the
; user may write, and the installer needs no administrator.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Pellrig"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\pellrig.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Pellrig"
  !include "${FILES}/install.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Pellrig"
  CreateShortCut "$SMPROGRAMS\Pellrig\Pellrig.lnk" "$INSTDIR\pellrig.exe" "" "$INSTDIR\pellrig.exe" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pellrig"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pellrig.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and nothing else: the settings file and
; anything else the user keeps in the folder stay, and so does the folder then.
Section "Uninstall"
  !include "${FILES}/uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Pellrig\Pellrig.lnk"
  RMDir "$SMPROGRAMS\Pellrig"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
