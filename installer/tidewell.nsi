; Tidewell's setup program. CMake passes the version and the paths of what it installs:
;   makensis -DVERSION=1.0.8 -DPROGRAM=... -DLIBRARY64=... -DLIBRARY32=... -DHELPFILE=...
;            -DREADME=... -DOUTFILE=.../setup.exe tidewell.nsi
;
; The program is 64-bit and keeps its settings in the 64-bit registry view; Registry.dll comes in
; both architectures, each registered by its own architecture's regsvr32, so 32-bit and 64-bit
; automation clients both find it. The folder is fixed: the program writes its backup under
; C:\Program Files\Vellmoor\Tidewell\Registry Backup\ whatever the install folder.
;
; setup.exe and Uninstall.exe are 64-bit programs, like the program they install.
;
; Exit codes: 0 done, 1 cancelled, 2 aborted (a message says why; with /S only the code),
; 3 installed, but the 32-bit registration of x86\Registry.dll failed (a Windows, or a Wine, that
; cannot run 32-bit programs): everything 64-bit is installed and registered, and the details say
; which registration failed. The uninstaller ends with 0 or 2 (a library could not be unregistered)
; and passes over a 32-bit registration that is not there.

Target amd64-unicode
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The file name "setup.exe" is the one users look for; NSIS warns that it makes Windows apply its
; installer compatibility shims, which a setup asking for administrator rights does not need.
!pragma warning disable 9000

!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Tidewell!"
!define PUBLISHER "Vellmoor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tidewell"
!define SETTINGS_KEY "SOFTWARE\Vellmoor\Tidewell!"
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define STARTUP_ENTRY "PC Maintenance"
!define HELP_NAME "Tidewell! Help.chm"
!define SHORTCUT "$SMPROGRAMS\Tidewell!.lnk"
!define UNINSTALLER "Uninstall.exe"
; The program's top-level windows, to refuse changing files it has open.
!define WINDOW_CLASS "TidewellForm"
; The library's RegistryDatabase class, whose 32-bit registration the uninstaller looks for.
!define DATABASE_CLSID "{6D6610ED-CF5E-11D2-9679-0000F8770C8E}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vellmoor\Tidewell"
ShowInstDetails show
; A file that cannot be written (a library held by a client) stops setup instead of being skipped.
AllowSkipFiles off
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Runs regsvr32 of one architecture ("64" or "32") on a library; $R0 is "0" on success, otherwise
; regsvr32's exit code or "not started".
!macro Regsvr32 ARCH ARGUMENTS LIBRARY
    ClearErrors
    StrCpy $R0 ""
    !if "${ARCH}" == "64"
        ; With redirection off, system32 is the 64-bit system folder.
        ${DisableX64FSRedirection}
        ExecWait '"$WINDIR\System32\regsvr32.exe" ${ARGUMENTS} "${LIBRARY}"' $R0
        ${EnableX64FSRedirection}
    !else
        ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" ${ARGUMENTS} "${LIBRARY}"' $R0
    !endif
    ${If} ${Errors}
        StrCpy $R0 "not started"
    ${EndIf}
!macroend

; Shared by setup and uninstaller: 64-bit Windows, an administrator, the program not running.
!macro Preconditions UN
    Function ${UN}Preconditions
        ${IfNot} ${RunningX64}
            MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs a 64-bit edition of Windows." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 != "Admin"
            MessageBox MB_OK|MB_ICONSTOP "Please run this program as an administrator." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        FindWindow $0 "${WINDOW_CLASS}"
        ${If} $0 != 0
            MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running. Please close it and try again." \
                /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        SetRegView 64
        SetShellVarContext all
    FunctionEnd
!macroend
!insertmacro Preconditions ""
!insertmacro Preconditions "un."

Function .onInit
    Call Preconditions
FunctionEnd

Function un.onInit
    Call un.Preconditions
FunctionEnd

Function Fail
    Exch $0
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
    DetailPrint "$0"
    SetErrorLevel 2
    Abort
FunctionEnd

Section "Tidewell!"
    SetOutPath "$INSTDIR"
    File "/oname=tidewell.exe" "${PROGRAM}"
    File "/oname=Registry.dll" "${LIBRARY64}"
    File "/oname=${HELP_NAME}" "${HELPFILE}"
    File "/oname=Readme.txt" "${README}"
    SetOutPath "$INSTDIR\x86"
    File "/oname=Registry.dll" "${LIBRARY32}"

    ; The uninstaller and its entry come before the registrations, so a failed setup can still be
    ; removed.
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tidewell.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\Readme.txt"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    DetailPrint "Registering Registry.dll (64-bit)"
    !insertmacro Regsvr32 64 "/s" "$INSTDIR\Registry.dll"
    ${If} $R0 != "0"
        Push "Registry.dll (64-bit) could not be registered (regsvr32: $R0)."
        Call Fail
    ${EndIf}
    CreateShortCut "${SHORTCUT}" "$INSTDIR\tidewell.exe" "" "$INSTDIR\tidewell.exe" 0 \
        SW_SHOWNORMAL "" "Free disk space and optimize the performance of this PC"

    ; Last, and not fatal: only 32-bit clients miss it, and a Wine without 32-bit support cannot
    ; start the 32-bit regsvr32 at all.
    DetailPrint "Registering Registry.dll (32-bit)"
    !insertmacro Regsvr32 32 "/s" "$INSTDIR\x86\Registry.dll"
    ${If} $R0 != "0"
        DetailPrint "Registry.dll (32-bit) could not be registered (regsvr32: $R0)."
        DetailPrint "Everything else is installed; only 32-bit automation clients miss it."
        SetErrorLevel 3
    ${EndIf}
SectionEnd

Section "Uninstall"
    ; Unregistration needs the libraries' files: it comes first. A failure is reported, and the
    ; rest is still removed.
    StrCpy $R1 "0"
    DetailPrint "Unregistering Registry.dll (64-bit)"
    !insertmacro Regsvr32 64 "/u /s" "$INSTDIR\Registry.dll"
    ${If} $R0 != "0"
        DetailPrint "Registry.dll (64-bit) could not be unregistered (regsvr32: $R0)."
        StrCpy $R1 "1"
    ${EndIf}
    ; A setup whose 32-bit registration failed left none to remove.
    SetRegView 32
    ReadRegStr $R2 HKLM "SOFTWARE\Classes\CLSID\${DATABASE_CLSID}\InprocServer32" ""
    SetRegView 64
    ${If} $R2 == ""
        DetailPrint "Registry.dll (32-bit) is not registered."
    ${Else}
        DetailPrint "Unregistering Registry.dll (32-bit)"
        !insertmacro Regsvr32 32 "/u /s" "$INSTDIR\x86\Registry.dll"
        ${If} $R0 != "0"
            DetailPrint "Registry.dll (32-bit) could not be unregistered (regsvr32: $R0)."
            StrCpy $R1 "1"
        ${EndIf}
    ${EndIf}

    ; A file still in use (a client holding a library, a help window) goes when Windows next
    ; starts.
    Delete "${SHORTCUT}"
    Delete /REBOOTOK "$INSTDIR\tidewell.exe"
    Delete /REBOOTOK "$INSTDIR\Registry.dll"
    Delete /REBOOTOK "$INSTDIR\${HELP_NAME}"
    Delete /REBOOTOK "$INSTDIR\Readme.txt"
    Delete /REBOOTOK "$INSTDIR\x86\Registry.dll"
    RMDir /REBOOTOK "$INSTDIR\x86"

    ; The program's settings and its start-with-Windows entry: an entry left behind would name a
    ; missing program at every start. The value goes by its name, so every form of its data goes
    ; with it: quoted ("<folder>\tidewell.exe", "-" inside the quotes when off) and the unquoted
    ; "c:\...\tidewell.exe" of earlier versions.
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "SOFTWARE\Vellmoor"
    DeleteRegValue HKLM "${RUN_KEY}" "${STARTUP_ENTRY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    ; "Registry Backup" holds the user's only copy of deleted startup entries: it stays, and so
    ; does the folder around it.
    Delete "$INSTDIR\${UNINSTALLER}"
    ${If} ${RebootFlag}
        RMDir /REBOOTOK "$INSTDIR"
        RMDir /REBOOTOK "$PROGRAMFILES64\Vellmoor"
        MessageBox MB_OK|MB_ICONINFORMATION \
            "Some of ${PRODUCT}'s files are in use: Windows removes them when it next starts." \
            /SD IDOK
    ${Else}
        RMDir "$INSTDIR"
        RMDir "$PROGRAMFILES64\Vellmoor"
    ${EndIf}

    ${If} $R1 != "0"
        MessageBox MB_OK|MB_ICONEXCLAMATION \
            "${PRODUCT} was removed, but Registry.dll could not be unregistered." /SD IDOK
        SetErrorLevel 2
    ${EndIf}
SectionEnd
