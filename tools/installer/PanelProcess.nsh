; Ending a running panel before its files are replaced or removed. The panel
; is asked the way its tray menu asks it (the Exit command sent to its main
; window), so it removes its tray icon and lets go of the card; it is never
; killed. Its main window is the owner-less dialog of a Zephrin.exe process
; that holds the Main page's close and "to Main" buttons.

!include LogicLib.nsh
!include WinMessages.nsh

!define ZEPHRIN_EXIT_COMMAND 32783      ; the tray menu's Exit (ID_EXIT)
!define ZEPHRIN_MAIN_CLOSE 1000         ; Main page: close button
!define ZEPHRIN_MAIN_TO_MAIN 1001       ; Main page: "to Main" button
!define ZEPHRIN_EXIT_WAIT_MS 20000

; $0 (out): 1 when every running panel ended, 0 when one did not end in time.
!macro ZEPHRIN_END_PANEL_FUNCTION prefix
Function ${prefix}EndRunningPanel
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    StrCpy $0 1
    StrCpy $1 0
    ${Do}
        FindWindow $1 "#32770" "" 0 $1
        ${If} $1 = 0
            ${Break}
        ${EndIf}
        GetDlgItem $2 $1 ${ZEPHRIN_MAIN_CLOSE}
        GetDlgItem $3 $1 ${ZEPHRIN_MAIN_TO_MAIN}
        System::Call 'user32::GetWindow(p r1, i 4) p.r4' ; GW_OWNER
        ${If} $2 = 0
        ${OrIf} $3 = 0
        ${OrIf} $4 <> 0
            ${Continue}
        ${EndIf}
        System::Call 'user32::GetWindowThreadProcessId(p r1, *i 0 r2)'
        ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
        System::Call 'kernel32::OpenProcess(i 0x00101000, i 0, i r2) p.r3'
        ${If} $3 = 0
            ${Continue}
        ${EndIf}
        StrCpy $4 ""
        System::Call 'kernel32::QueryFullProcessImageNameW(p r3, i 0, w .r4, *i ${NSIS_MAX_STRLEN})'
        ${GetFileName} "$4" $4
        ${If} $4 != "Zephrin.exe"
            System::Call 'kernel32::CloseHandle(p r3)'
            ${Continue}
        ${EndIf}
        DetailPrint "Ending the running Zephrin (its Exit command)..."
        System::Call 'user32::PostMessageW(p r1, i ${WM_COMMAND}, p ${ZEPHRIN_EXIT_COMMAND}, p 0)'
        System::Call 'kernel32::WaitForSingleObject(p r3, i ${ZEPHRIN_EXIT_WAIT_MS}) i.r5'
        System::Call 'kernel32::CloseHandle(p r3)'
        ${If} $5 <> 0
            StrCpy $0 0
            ${Break}
        ${EndIf}
        StrCpy $1 0 ; its windows are gone: search again from the start
    ${Loop}
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
FunctionEnd
!macroend
