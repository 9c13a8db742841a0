; The Windows installer of Quillrun: quillrun.exe and its HTML guide under Program Files, a
; Start-menu shortcut, and an uninstaller registered in Add/Remove Programs; optionally the
; service Quillrun (quillrun-service.exe), started automatically after the system's start, with
; its event source. The reading program registers itself with its own installer; nothing here
; reads or writes its registration, and the user's settings
; (HKEY_CURRENT_USER\Software\Tandrel\Quillrun) stay when Quillrun goes.
;
; Built by CMake (installer.cmake), which defines VERSION, BIN (the folder of the built programs
; and the guide) and OUTFILE. "/S" installs or uninstalls without a window; "/SERVICE" chooses
; the service as well, also for a silent install.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "Quillrun"
!define PUBLISHER "Tandrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillrun"
; The service's name, which quillrun-service.exe also gives its event source.
!define SERVICE "Quillrun"
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Quillrun"

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

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

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; sc.exe and net.exe do what the Service Control Manager is asked; what one of them cannot do on
; a system (an older sc, or Wine's) leaves the rest as it is.
!macro ServiceCommand program arguments
    nsExec::Exec '"$SYSDIR\${program}" ${arguments}'
    Pop $0
!macroend

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Quillrun" SecProgram
    SectionIn RO
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

; Under NetworkService, a built-in account with the rights of a user that reaches the network as
; the computer; "quillrun-service --import-settings" gives it the settings of whoever runs it.
; The recovery starts it again 30 s after the work could not go on (it then ends without
; reporting its stop), never after it reported the settings error: the failure actions flag
; stays off. An update keeps the account the service was given.
Section /o "Service" SecService
    !insertmacro ServiceCommand "net.exe" "stop ${SERVICE}"
    SetOutPath "$INSTDIR"
    File "${BIN}/quillrun-service.exe"
    WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\quillrun-service.exe"
    WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7

    !insertmacro ServiceCommand "sc.exe" 'create ${SERVICE} binPath= "\"$INSTDIR\quillrun-service.exe\"" start= auto obj= "NT AUTHORITY\NetworkService" DisplayName= "${PRODUCT}"'
    ${If} $0 != 0
        !insertmacro ServiceCommand "sc.exe" 'config ${SERVICE} binPath= "\"$INSTDIR\quillrun-service.exe\""'
    ${EndIf}
    !insertmacro ServiceCommand "sc.exe" 'description ${SERVICE} "Converts the scanned images of the source hierarchy into documents, with the settings imported by quillrun-service --import-settings."'
    !insertmacro ServiceCommand "sc.exe" "config ${SERVICE} start= delayed-auto"
    !insertmacro ServiceCommand "sc.exe" "failure ${SERVICE} reset= 86400 actions= restart/30000/restart/30000/restart/30000"
    !insertmacro ServiceCommand "sc.exe" "failureflag ${SERVICE} 0"
SectionEnd

Function .onInit
    ; A 64-bit program: its registrations belong in the 64-bit view of the registry.
    SetRegView 64
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/SERVICE" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecService}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ; net stop waits until the service has ended its reading programs.
    !insertmacro ServiceCommand "net.exe" "stop ${SERVICE}"
    !insertmacro ServiceCommand "sc.exe" "delete ${SERVICE}"
    DeleteRegKey HKLM "${EVENT_SOURCE_KEY}"
    Delete "$INSTDIR\quillrun-service.exe"
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
