; The Tabellix installer for 64-bit Windows: per machine into Program Files,
; a Start-menu entry for the desktop program, listed in Apps & Features.
; Silent with /S, another folder with /D=FOLDER (last, without quotes).
; Made by packaging/windows/make-setup.sh, which passes
;   VERSION  x.y.z            DIST  the portable folder (dist/Tabellix)
;   FILES    the generated file lists (FILES.install.nsh, FILES.uninstall.nsh)
;   OUTFILE  the Setup program to write
Unicode true
; The default x86 stub needs 32-bit Windows support, which 64-bit-only Wine
; lacks: there the installer ends at once without a word.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!ifndef VERSION | DIST | FILES | OUTFILE
  !error "make-setup.sh passes VERSION, DIST, FILES and OUTFILE"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabellix"
!define PUBLISHER "The Tabellix developers"

Name "Tabellix ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tabellix"
; An update goes where the last version went, whatever the user chose then.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "Tabellix"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1031 "FileDescription" "Tabellix ${VERSION} Setup"
VIAddVersionKey /LANG=1031 "LegalCopyright" "MIT-Lizenz, siehe LICENSE.txt"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${DIST}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP|MB_OK "Tabellix braucht ein 64-Bit-Windows." /SD IDOK
    Abort
  ${EndIf}
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

; The uninstaller of an earlier version removes that version's files first,
; so that a DLL the new version no longer ships does not stay behind. It runs
; in place (_?=) and so is waited for; the configuration and the logs beside
; the programs are not among its files and stay.
Function RemovePreviousVersion
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Uninstall.exe"
    ExecWait '"$0\Uninstall.exe" /S _?=$0'
    Delete "$0\Uninstall.exe"
  ${EndIf}
FunctionEnd

Section "Tabellix"
  Call RemovePreviousVersion
  !include "${FILES}.install.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tabellix.lnk" "$INSTDIR\tabellix.exe" "" "$INSTDIR\tabellix.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tabellix"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tabellix.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only the files this version installed: a folder the user chose may hold
; other things, and ZireVuz.ini and the logs beside the programs are the
; user's. The folder goes only when nothing else is left in it.
Section "Uninstall"
  !include "${FILES}.uninstall.nsh"
  Delete "$SMPROGRAMS\Tabellix.lnk"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
