; The Snapwell installer, one file for 32- and 64-bit Windows:
;   makensis -DVERSION=x.y.z.w -DOUTFILE=<setup.exe> [-DWIN32_DIR=<stage>] [-DWIN64_DIR=<stage>] Snapwell.nsi
; A stage folder is what scripts/stage-release puts together for one build.
; A release carries both; a test build may carry only the build it tests,
; and then installs only where that one runs.
; makensis works in this folder (paths below are relative to it).
; Silent use: setup.exe /S [/CurrentUser | /AllUsers] [/D=<folder>]
; (all users is the default for an administrator, per user otherwise).

Unicode true
SetCompressor /SOLID lzma

!ifndef VERSION | OUTFILE
  !error "VERSION and OUTFILE must be defined"
!endif
!ifndef WIN32_DIR & WIN64_DIR
  !ifndef WIN32_DIR
    !ifndef WIN64_DIR
      !error "at least one of WIN32_DIR and WIN64_DIR must be defined"
    !endif
  !endif
!endif

!define PRODUCT "Snapwell"
!define PUBLISHER "Quillon Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Snapwell"
!define OLDEST_TEXT "Snapwell needs Windows XP with Service Pack 3 or later (on 64-bit Windows, Windows XP Professional x64 Edition or later)."

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Snapwell"
!define MULTIUSER_INSTALLMODE_FUNCTION AfterInstallModeChosen
!define MULTIUSER_INSTALLMODE_UNFUNCTION un.AfterInstallModeChosen
!define MULTIUSER_MUI
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include WinVer.nsh
!include x64.nsh
!include FileFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "../resources/Snapwell.ico"
!define MUI_UNICON "../resources/Snapwell.ico"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Snapwell.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Both the program and the uninstaller see the 64-bit registry and
; Program Files on 64-bit Windows, where the 64-bit program goes.
Function AfterInstallModeChosen
  ${If} ${RunningX64}
    SetRegView 64
    ${If} $MultiUser.InstallMode == AllUsers
      StrCpy $INSTDIR "$PROGRAMFILES64\${MULTIUSER_INSTALLMODE_INSTDIR}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.AfterInstallModeChosen
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Function .onInit
  ; XP before Service Pack 3, or anything older than XP.
  StrCpy $R8 ""
  ${IfNot} ${AtLeastWinXP}
    StrCpy $R8 "too old"
  ${ElseIf} ${IsWinXP}
  ${AndIfNot} ${AtLeastServicePack} 3
    StrCpy $R8 "too old"
  ${EndIf}
  ${If} $R8 != ""
    MessageBox MB_OK|MB_ICONSTOP "${OLDEST_TEXT}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  !ifndef WIN64_DIR
    ${If} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This installer carries only the 32-bit Snapwell, for 32-bit Windows." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  !endif
  !ifndef WIN32_DIR
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This installer carries only the 64-bit Snapwell, for 64-bit Windows." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  !endif
  ; A folder given with /D= wins over the install mode's default.
  StrCpy $R9 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $R9 != ""
    StrCpy $INSTDIR $R9
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

!macro PRODUCT_FILES DIR
  File "${DIR}/Snapwell.exe"
  File "${DIR}/_ISource30.dll"
  File "${DIR}/Snapwell.chm"
  File "${DIR}/ReadMe.txt"
  SetOutPath "$INSTDIR\LICENSES"
  File "${DIR}/LICENSES/*.txt"
  SetOutPath "$INSTDIR"
!macroend

Section "Snapwell"
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    !ifdef WIN64_DIR
      !insertmacro PRODUCT_FILES "${WIN64_DIR}"
    !endif
  ${Else}
    !ifdef WIN32_DIR
      !insertmacro PRODUCT_FILES "${WIN32_DIR}"
    !endif
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Snapwell.exe"

  ; Apps & Features: the uninstaller is told the mode it was installed in.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Snapwell.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Everything the installer put down, by name; the user's settings
; (%APPDATA%\Snapwell\Snapwell.cfg) are never touched.
Section "Uninstall"
  Delete "$INSTDIR\Snapwell.exe"
  Delete "$INSTDIR\_ISource30.dll"
  Delete "$INSTDIR\Snapwell.chm"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\LICENSES\*.txt"
  RMDir "$INSTDIR\LICENSES"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
