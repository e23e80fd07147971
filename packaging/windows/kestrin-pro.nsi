; The Kestrin-Pro installer: the program with its pictures and default
; configuration, a Start-menu entry, .kt9 files opening in the program, and an
; uninstaller listed among the installed programs.
;
;   makensis -DVERSION=1.8.3 -DSTAGE=<folder holding the installed files>
;            -DOUTFILE=<kestrin-pro-1.8.3-setup.exe> kestrin-pro.nsi
;
; /S installs (and uninstall.exe /S removes) without a question.

!ifndef VERSION | STAGE | OUTFILE
  !error "VERSION, STAGE and OUTFILE must be defined"
!endif

Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Kestrin-Pro"
!define FILECLASS "KestrinPro.Configuration"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
Icon "${STAGE}\kestrin-pro.ico"
UninstallIcon "${STAGE}\kestrin-pro.ico"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"
ShowInstDetails show
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "${PRODUCT}"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\kestrin-pro.exe"
  File "${STAGE}\kestrin-cli.exe"
  File "${STAGE}\kestrin-pro.ico"
  File "${STAGE}\Info.bmp"
  File "${STAGE}\Logo.bmp"
  File "${STAGE}\Default.kt9"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\kestrin-pro.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  ; A .kt9 file opens in the program, which opens the file named on its
  ; command line.
  WriteRegStr HKLM "Software\Classes\.kt9" "" "${FILECLASS}"
  WriteRegStr HKLM "Software\Classes\${FILECLASS}" "" "Kestrin TQ9 configuration"
  WriteRegStr HKLM "Software\Classes\${FILECLASS}\DefaultIcon" "" "$INSTDIR\kestrin-pro.exe,0"
  WriteRegStr HKLM "Software\Classes\${FILECLASS}\shell\open\command" "" \
    '"$INSTDIR\kestrin-pro.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr HKLM "Software\${PRODUCT}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\kestrin-pro.exe,0"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; Only what the installer put there: configurations an operator saved into
  ; the program's folder stay, and so does the folder then.
  Delete "$INSTDIR\kestrin-pro.exe"
  Delete "$INSTDIR\kestrin-cli.exe"
  Delete "$INSTDIR\kestrin-pro.ico"
  Delete "$INSTDIR\Info.bmp"
  Delete "$INSTDIR\Logo.bmp"
  Delete "$INSTDIR\Default.kt9"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; The extension is left alone if another program has taken it since.
  ReadRegStr $0 HKLM "Software\Classes\.kt9" ""
  StrCmp $0 "${FILECLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.kt9"
  DeleteRegKey HKLM "Software\Classes\${FILECLASS}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  DeleteRegKey HKLM "${UNINSTKEY}"
  DeleteRegKey HKLM "Software\${PRODUCT}"
SectionEnd
