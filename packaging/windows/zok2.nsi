; The zok2 installer (NSIS 3), made by scripts/package-windows:
;   makensis -DVERSION=... -DSTAGE=folder -DOUTFILE=setup.exe -DICON=zok2.ico zok2.nsi
; STAGE holds bin\ (the programs, Qt, the runtime), share\zok2\ (the sample set,
; its profile and the sample file, copied for the user on the first start),
; README.txt, LICENSE.txt and licenses\.
;
; For every user (Program Files, administrator rights) or for this user only
; (the user's own programs folder, no rights needed): chosen on the first page,
; or with /AllUsers or /CurrentUser on the command line (/S installs silently).

Target amd64-unicode
SetCompressor /SOLID lzma

!define APPNAME "zok2"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\zok2"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "zok2"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "Software\zok2"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallDir"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "Software\zok2"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!include MultiUser.nsh
!include MUI2.nsh
!include x64.nsh

Name "zok2 ${VERSION}"
OutFile "${OUTFILE}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "zok2"
VIAddVersionKey /LANG=1033 "FileDescription" "zok2 installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "The zok2 developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "The zok2 developers"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\zok2.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString SecProgram ${LANG_JAPANESE} "zok2 本体"
LangString SecProgram ${LANG_ENGLISH} "zok2"
LangString SecAssociate ${LANG_JAPANESE} ".dat ファイルを zok2 で開く"
LangString SecAssociate ${LANG_ENGLISH} "Open .dat files with zok2"
LangString Needs64 ${LANG_JAPANESE} "zok2 は 64 ビット版の Windows が必要です。"
LangString Needs64 ${LANG_ENGLISH} "zok2 needs a 64-bit Windows."

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "$(Needs64)"
    Abort
  ${EndIf}
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "$(SecProgram)" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File /r "${STAGE}\licenses"
  File /r "${STAGE}\bin"
  File /r "${STAGE}\share"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\zok2.lnk" "$INSTDIR\bin\zok2.exe"
  ; "Apps & features" (SHCTX: the machine's or this user's, as installed).
  WriteRegStr SHCTX "Software\zok2" "InstallDir" "$INSTDIR"
  WriteRegStr SHCTX "Software\zok2" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayName" "zok2"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTKEY}" "Publisher" "The zok2 developers"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\bin\zok2.exe,0"
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoRepair" 1
SectionEnd

; Off unless ticked: .dat is a name many programs use.
Section /o "$(SecAssociate)" SecAssociate
  WriteRegStr SHCTX "Software\Classes\zok2.dat" "" "zok2 data file"
  WriteRegStr SHCTX "Software\Classes\zok2.dat\DefaultIcon" "" "$INSTDIR\bin\zok2.exe,0"
  WriteRegStr SHCTX "Software\Classes\zok2.dat\shell\open\command" "" '"$INSTDIR\bin\zok2.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\.dat\OpenWithProgids" "zok2.dat" ""
  WriteRegStr SHCTX "Software\Classes\.dat" "" "zok2.dat"
  WriteRegStr SHCTX "Software\zok2" "Associated" "1"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Only what the installer put there: the user's profile (%APPDATA%\zok2) and
; sets (%LOCALAPPDATA%\zok2) stay.
Section "Uninstall"
  Delete "$SMPROGRAMS\zok2.lnk"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  RMDir /r "$INSTDIR\licenses"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ReadRegStr $0 SHCTX "Software\zok2" "Associated"
  ${If} $0 == "1"
    ReadRegStr $1 SHCTX "Software\Classes\.dat" ""
    ${If} $1 == "zok2.dat"
      DeleteRegValue SHCTX "Software\Classes\.dat" ""
    ${EndIf}
    DeleteRegValue SHCTX "Software\Classes\.dat\OpenWithProgids" "zok2.dat"
    DeleteRegKey SHCTX "Software\Classes\zok2.dat"
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTKEY}"
  DeleteRegKey SHCTX "Software\zok2"
SectionEnd
