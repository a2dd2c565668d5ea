; The panel's installer, in two flavours built from this one script:
;
;   makensis -DVERSION=1.0.0.1 -DDRIVER_VERSION=6.0.1.23 -DBIN=<build>/bin
;            -DICON=<icon> -DWIZARD=<side picture> -DOUTFILE=<setup.exe>
;            [-DSIMULATED] Zephrin.nsi
;
; Without SIMULATED: for a machine with the card. The card's control library
; (CmAudioX.dll) belongs to the card's driver; setup only looks for it.
; With SIMULATED: for trying the panel under Wine without the card: it adds
; the simulated card, the Core Audio stand-in and the card's PCI device entry,
; and refuses to run anywhere but Wine.
;
; Both write what the panel expects before its first start (the settings key
; and CPL.ini), register a logon task that starts it with the highest
; privileges, and an uninstaller. Silent use: /S; the uninstaller also takes
; /REMOVESETTINGS.

Unicode true
Target amd64-unicode
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef VERSION | DRIVER_VERSION | BIN | ICON | WIZARD | OUTFILE
    !error "VERSION, DRIVER_VERSION, BIN, ICON, WIZARD and OUTFILE must be defined"
!endif

!define ZEPHRIN_PUBLISHER "Marvolin"
!define ZEPHRIN_ROOT_KEY "Software\Marvolin\VANTIR"
!define ZEPHRIN_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zephrin"
!define ZEPHRIN_MMDEVICE_SERVER "Software\Classes\CLSID\{BCDE0395-E52F-467C-8E3D-C4579291692E}\InprocServer32"
!define ZEPHRIN_PCI_DEVICE "SYSTEM\CurrentControlSet\Enum\PCI\VEN_FEED&DEV_0A17&SUBSYS_171314C3&REV_10\4&2A5B3C1D&0&00E4"
!define ZEPHRIN_PCI_DEVICE_PARENT "SYSTEM\CurrentControlSet\Enum\PCI\VEN_FEED&DEV_0A17&SUBSYS_171314C3&REV_10"

!ifdef SIMULATED
    !define ZEPHRIN_PRODUCT "Zephrin (simulated VANTIR card)"
    Name "Zephrin ${VERSION} with a simulated VANTIR card"
!else
    !define ZEPHRIN_PRODUCT "Zephrin"
    Name "Zephrin ${VERSION}"
!endif

Caption "Zephrin ${VERSION} Setup"
UninstallCaption "Zephrin ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zephrin"
BrandingText "Zephrin ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${ZEPHRIN_PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${ZEPHRIN_PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "Zephrin ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${ZEPHRIN_PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include Sections.nsh
!include "PanelProcess.nsh"
!include "LogonTask.nsh"

!insertmacro ZEPHRIN_END_PANEL_FUNCTION ""
!insertmacro ZEPHRIN_END_PANEL_FUNCTION "un."

; The panel's log, in the machine's program-data folder (the finish page
; names it; set in .onInit).
Var LogFile

; ---------------------------------------------------------------------------
; Pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!ifdef SIMULATED
    !define MUI_WELCOMEPAGE_TITLE "Zephrin ${VERSION} with a simulated VANTIR card"
    !define MUI_WELCOMEPAGE_TEXT "This installs Zephrin, the tray control panel of the VANTIR sound card, together with a SIMULATED card, for trying the panel out under Wine on a machine without the card.$\r$\n$\r$\nIt adds a simulated card library, a simulated PCI device entry named VANTIR and a stand-in for the system's audio endpoints. They are for Wine only: setup refuses to run on Windows.$\r$\n$\r$\nZephrin will start at every logon, in the notification area."
!else
    !define MUI_WELCOMEPAGE_TITLE "Zephrin ${VERSION}"
    !define MUI_WELCOMEPAGE_TEXT "This installs Zephrin, the tray control panel of the VANTIR sound card.$\r$\n$\r$\nThe card's driver must be installed too: it provides the card's control library (CmAudioX.dll), which setup does not contain.$\r$\n$\r$\nZephrin will start at every logon, in the notification area."
!endif
!insertmacro MUI_PAGE_WELCOME
!ifdef SIMULATED
    !define MUI_PAGE_HEADER_TEXT "Parts to install"
    !define MUI_PAGE_HEADER_SUBTEXT "The simulated parts stand in for the VANTIR card and its driver under Wine."
    !define MUI_COMPONENTSPAGE_TEXT_TOP "Zephrin and the simulated machine it runs on: the card's library (CmAudioX.dll), the card's PCI device entry, and audio endpoints from a Core Audio stand-in. All are needed to try the panel."
    !insertmacro MUI_PAGE_COMPONENTS
!endif
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Zephrin ${VERSION} is installed"
!ifdef SIMULATED
    !define MUI_FINISHPAGE_TEXT "Zephrin and the simulated VANTIR card are installed in $INSTDIR; Zephrin starts at every logon. simcard.exe and castool.exe there change the simulated card and endpoints.$\r$\n$\r$\nIf Zephrin's icon does not appear, its log tells why:$\r$\n$LogFile"
!else
    !define MUI_FINISHPAGE_TEXT "Zephrin is installed in $INSTDIR and starts at every logon, in the notification area.$\r$\n$\r$\nIf its icon does not appear, Zephrin's log tells why:$\r$\n$LogFile"
!endif
!define MUI_FINISHPAGE_RUN "$INSTDIR\Zephrin.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Zephrin now"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!define MUI_PAGE_HEADER_TEXT "Uninstall Zephrin"
!define MUI_PAGE_HEADER_SUBTEXT "Your settings are kept unless you choose to remove them."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Zephrin is removed with its logon task. Tick the last item to remove your settings too (equalizer, presets, language)."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; 1 when the card's control library was not found (the real setup only).
Var CardLibraryMissing

; ---------------------------------------------------------------------------
; Checks before any page

Function .onInit
    SetRegView 64
!ifdef SIMULATED
    ; Wine's ntdll exports wine_get_version; Windows' does not. A simulated
    ; device and a stand-in audio server must never reach a real machine.
    System::Call 'kernel32::GetModuleHandleW(w "ntdll.dll") p.r0'
    System::Call 'kernel32::GetProcAddress(p r0, m "wine_get_version") p.r1'
    ${If} $1 = 0
        MessageBox MB_OK|MB_ICONSTOP "This setup installs a SIMULATED VANTIR card and is meant for Wine only.$\r$\n$\r$\nThis machine is not Wine: use the Zephrin setup without $\"simulated$\" in its name." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
!endif
    SetShellVarContext all
    StrCpy $LogFile "$APPDATA\Zephrin\Zephrin.log"
    SetShellVarContext current
    ; An upgrade goes where the installed version is.
    ReadRegStr $0 HKLM "${ZEPHRIN_UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; Installation

Section "Zephrin control panel" SecPanel
    SectionIn RO
    SetOutPath "$INSTDIR"
    Call EndRunningPanel
    ${If} $0 = 0
        MessageBox MB_OK|MB_ICONSTOP "Zephrin is running and did not end when asked to. Close it from its tray menu (Exit) and run setup again." /SD IDOK
        SetErrorLevel 3
        Abort "Zephrin is still running."
    ${EndIf}
    File "${BIN}\Zephrin.exe"
    File "${BIN}\FindDeviceWinxp.dll"
    File "${BIN}\Vek_GetDxVerDll.dll"

    ; CPL.ini beside the program: the first pictures of the Hifi page's room
    ; selector and environment display. A value already there is the user's.
    ReadINIStr $0 "$INSTDIR\CPL.ini" "Hifi" "RoomSize"
    ${If} $0 == ""
        WriteINIStr "$INSTDIR\CPL.ini" "Hifi" "RoomSize" "0"
    ${EndIf}
    ReadINIStr $0 "$INSTDIR\CPL.ini" "Hifi" "Environment"
    ${If} $0 == ""
        WriteINIStr "$INSTDIR\CPL.ini" "Hifi" "Environment" "0"
    ${EndIf}

    ; The settings key: the panel never creates these four subkeys itself.
    ; Settings already stored in them are kept.
    WriteRegStr HKLM "${ZEPHRIN_ROOT_KEY}\CPL" "" ""
    DeleteRegValue HKLM "${ZEPHRIN_ROOT_KEY}\CPL" ""
    WriteRegStr HKLM "${ZEPHRIN_ROOT_KEY}\Hifi" "" ""
    DeleteRegValue HKLM "${ZEPHRIN_ROOT_KEY}\Hifi" ""
    WriteRegStr HKLM "${ZEPHRIN_ROOT_KEY}\Digital" "" ""
    DeleteRegValue HKLM "${ZEPHRIN_ROOT_KEY}\Digital" ""
    WriteRegStr HKLM "${ZEPHRIN_ROOT_KEY}\Info" "CPLVer" "${VERSION}"
!ifdef SIMULATED
    WriteRegStr HKLM "${ZEPHRIN_ROOT_KEY}\Info" "DriverVer" "${DRIVER_VERSION}"
!else
    ; The card's driver may have written its own version already.
    ReadRegStr $0 HKLM "${ZEPHRIN_ROOT_KEY}\Info" "DriverVer"
    ${If} $0 == ""
        WriteRegStr HKLM "${ZEPHRIN_ROOT_KEY}\Info" "DriverVer" "${DRIVER_VERSION}"
    ${EndIf}
!endif
SectionEnd

!ifdef SIMULATED
Section "Simulated VANTIR card" SecSimCard
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${BIN}\CmAudioX.dll"
    File "${BIN}\simcard.exe"
SectionEnd

Section "Simulated PCI device VANTIR" SecSimDevice
    SectionIn RO
    WriteRegStr HKLM "${ZEPHRIN_PCI_DEVICE}" "DeviceDesc" "VANTIR"
    WriteRegStr HKLM "${ZEPHRIN_PCI_DEVICE}" "ClassGUID" "{4d36e96c-e325-11ce-bfc1-08002be10318}"
    WriteRegStr HKLM "${ZEPHRIN_PCI_DEVICE}" "Mfg" "${ZEPHRIN_PUBLISHER}"
    WriteRegMultiStr /REGEDIT5 HKLM "${ZEPHRIN_PCI_DEVICE}" "HardwareID" \
        50,00,43,00,49,00,5c,00,56,00,45,00,4e,00,5f,00,46,00,45,00,45,00,44,00,26,00,44,00,45,00,56,00,5f,00,30,00,41,00,31,00,37,00,00,00,00,00
SectionEnd

Section "Simulated audio endpoints" SecSimAudio
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${BIN}\CoreAudioStandIn.dll"
    File "${BIN}\castool.exe"
    ; Wine's own endpoint server is put back at uninstall.
    ReadRegStr $0 HKLM "${ZEPHRIN_MMDEVICE_SERVER}" ""
    ${If} $0 != "$INSTDIR\CoreAudioStandIn.dll"
        WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "PreviousEndpointServer" "$0"
    ${EndIf}
    WriteRegStr HKLM "${ZEPHRIN_MMDEVICE_SERVER}" "" "$INSTDIR\CoreAudioStandIn.dll"
    WriteRegStr HKLM "${ZEPHRIN_MMDEVICE_SERVER}" "ThreadingModel" "Both"
    nsExec::ExecToLog '"$INSTDIR\castool.exe" scenario default'
    Pop $0
    ${If} $0 != 0
        DetailPrint "The simulated endpoints could not be set up (castool: $0)."
        SetErrorLevel 4
    ${EndIf}
SectionEnd
!endif

Section "-Logon task and uninstaller" SecRegister
    Call RegisterLogonTask
    ${If} $0 != 0
        DetailPrint "The logon task could not be registered (schtasks: $0)."
        MessageBox MB_OK|MB_ICONEXCLAMATION "Zephrin is installed, but the task that starts it at logon could not be registered. Start it from $INSTDIR." /SD IDOK
        SetErrorLevel 5
    ${EndIf}

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "DisplayName" "${ZEPHRIN_PRODUCT}"
    WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "Publisher" "${ZEPHRIN_PUBLISHER}"
    WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zephrin.exe,0"
    WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
    WriteRegStr HKLM "${ZEPHRIN_UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\Uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${ZEPHRIN_UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${ZEPHRIN_UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${ZEPHRIN_UNINSTALL_KEY}" "EstimatedSize" "$0"

!ifndef SIMULATED
    ; The loader finds the card's library beside the panel or in the system
    ; folder; the card's driver puts it there.
    ${IfNot} ${FileExists} "$INSTDIR\CmAudioX.dll"
    ${AndIfNot} ${FileExists} "$SYSDIR\CmAudioX.dll"
        DetailPrint "The VANTIR card's control library (CmAudioX.dll) was not found."
        MessageBox MB_OK|MB_ICONEXCLAMATION "The VANTIR card's control library (CmAudioX.dll) was not found, neither in $SYSDIR nor in $INSTDIR.$\r$\n$\r$\nZephrin is installed, but it starts only once the card and its driver are installed." /SD IDOK
        StrCpy $CardLibraryMissing 1
    ${EndIf}
!endif
SectionEnd

; Without the card's library the panel would end at once, without a word:
; the last page does not offer to start it then.
Function FinishPageShow
    ${If} $CardLibraryMissing = 1
        SendMessage $mui.FinishPage.Run ${BM_SETCHECK} 0 0 ; BST_UNCHECKED
    ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; Uninstallation

Section "un.Zephrin and its logon task" SecUnPanel
    SectionIn RO
    SetRegView 64
    Call un.EndRunningPanel
    ${If} $0 = 0
        MessageBox MB_OK|MB_ICONSTOP "Zephrin is running and did not end when asked to. Close it from its tray menu (Exit) and uninstall again." /SD IDOK
        SetErrorLevel 3
        Abort "Zephrin is still running."
    ${EndIf}
    Call un.RemoveLogonTask

    Delete "$INSTDIR\Zephrin.exe"
    Delete "$INSTDIR\FindDeviceWinxp.dll"
    Delete "$INSTDIR\Vek_GetDxVerDll.dll"
    Delete "$INSTDIR\CPL.ini"
    Delete "$INSTDIR\LogonTask.xml"

!ifdef SIMULATED
    ; The simulated machine goes with it; Wine's own endpoints come back.
    ReadRegStr $0 HKLM "${ZEPHRIN_MMDEVICE_SERVER}" ""
    ${If} $0 == "$INSTDIR\CoreAudioStandIn.dll"
        ReadRegStr $1 HKLM "${ZEPHRIN_UNINSTALL_KEY}" "PreviousEndpointServer"
        ${If} $1 != ""
            WriteRegStr HKLM "${ZEPHRIN_MMDEVICE_SERVER}" "" "$1"
        ${Else}
            DeleteRegValue HKLM "${ZEPHRIN_MMDEVICE_SERVER}" ""
        ${EndIf}
    ${EndIf}
    DeleteRegKey HKLM "${ZEPHRIN_PCI_DEVICE}"
    DeleteRegKey /ifempty HKLM "${ZEPHRIN_PCI_DEVICE_PARENT}"
    Delete "$INSTDIR\CmAudioX.dll"
    Delete "$INSTDIR\CmAudioX.state"
    Delete "$INSTDIR\simcard.exe"
    Delete "$INSTDIR\CoreAudioStandIn.dll"
    Delete "$INSTDIR\castool.exe"
    ReadEnvStr $0 "ProgramData"
    Delete "$0\Zephrin Core Audio\endpoints.bin"
    RMDir "$0\Zephrin Core Audio"
!endif

    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${ZEPHRIN_UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings (equalizer, presets, language)" SecUnSettings
    SetRegView 64
    DeleteRegKey HKLM "${ZEPHRIN_ROOT_KEY}"
    DeleteRegKey /ifempty HKLM "Software\Marvolin"
SectionEnd

Function un.onInit
    SetRegView 64
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecUnSettings}
    ${EndIf}
FunctionEnd
