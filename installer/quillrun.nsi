; The Windows installer of Quillrun: quillrun.exe and its HTML guide under Program Files, a
; Start-menu shortcut, and an uninstaller registered in Add/Remove Programs. The reading program
; registers itself with its own installer; nothing here reads or writes its registration, and
; the user's settings (HKEY_CURRENT_USER\Software\Tandrel\Quillrun) stay when Quillrun goes.
;
; Built by CMake (installer.cmake), which defines VERSION, BIN (the folder of the built program
; and its guide) and OUTFILE. "/S" installs or uninstalls without a window.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "Quillrun"
!define PUBLISHER "Tandrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillrun"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ; A 64-bit program: its registrations belong in the 64-bit view of the registry.
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Quillrun"
    SetOutPath "$INSTDIR"
    File "${BIN}/quillrun.exe"
    File "${BIN}/Quillrun.html"
    SetOutPath "$INSTDIR\Quillrun-images"
    File "${BIN}/Quillrun-images/*.png"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\quillrun.exe" "" "$INSTDIR\quillrun.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillrun.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\quillrun.exe"
    Delete "$INSTDIR\Quillrun.html"
    Delete "$INSTDIR\Quillrun-images\*.png"
    RMDir "$INSTDIR\Quillrun-images"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only an empty folder goes: whatever else the user put there stays.
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
