; The logon task that starts the panel. The panel needs administrator rights,
; and Windows does not start such a program from the Run key at logon; a task
; of the Task Scheduler with the highest privileges does. It starts at the
; logon of any user, runs without a time limit, and a second start while one
; runs is ignored (the panel also refuses a second instance itself). A start
; that fails is tried again three times, a minute apart (the panel itself asks
; Windows for a restart after a fault once it runs).
; The task's definition stays beside the program (LogonTask.xml): with it the
; task can be registered again by hand, and it shows what was registered
; where the scheduler keeps less of it (Wine's stores neither the trigger nor
; the action).

!include LogicLib.nsh
!include WordFunc.nsh

!define ZEPHRIN_TASK_NAME "Zephrin"

; Writes one line of the task's XML (UTF-16, as schtasks reads it).
!macro _ZEPHRIN_TASK_LINE handle text
    FileWriteUTF16LE ${handle} `${text}$\r$\n`
!macroend
!define TaskLine "!insertmacro _ZEPHRIN_TASK_LINE"

; $0 (out): schtasks' exit code, 0 on success.
Function RegisterLogonTask
    Push $1
    Push $2
    ; The program's path goes into XML text: escape what XML reserves.
    ${WordReplace} "$INSTDIR\Zephrin.exe" "&" "&amp;" "+" $2
    ${WordReplace} "$2" "<" "&lt;" "+" $2
    ${WordReplace} "$2" ">" "&gt;" "+" $2
    FileOpen $1 "$INSTDIR\LogonTask.xml" w
    FileWriteWord $1 0xFEFF
    ${TaskLine} $1 '<?xml version="1.0" encoding="UTF-16"?>'
    ${TaskLine} $1 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">'
    ${TaskLine} $1 '  <RegistrationInfo>'
    ${TaskLine} $1 '    <Author>${ZEPHRIN_PUBLISHER}</Author>'
    ${TaskLine} $1 '    <Description>Starts Zephrin, the VANTIR control panel, in the notification area at logon.</Description>'
    ${TaskLine} $1 '  </RegistrationInfo>'
    ${TaskLine} $1 '  <Triggers>'
    ${TaskLine} $1 '    <LogonTrigger>'
    ${TaskLine} $1 '      <Enabled>true</Enabled>'
    ${TaskLine} $1 '    </LogonTrigger>'
    ${TaskLine} $1 '  </Triggers>'
    ${TaskLine} $1 '  <Principals>'
    ${TaskLine} $1 '    <Principal id="Author">'
    ${TaskLine} $1 '      <GroupId>S-1-5-32-545</GroupId>'
    ${TaskLine} $1 '      <RunLevel>HighestAvailable</RunLevel>'
    ${TaskLine} $1 '    </Principal>'
    ${TaskLine} $1 '  </Principals>'
    ${TaskLine} $1 '  <Settings>'
    ${TaskLine} $1 '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>'
    ${TaskLine} $1 '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>'
    ${TaskLine} $1 '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>'
    ${TaskLine} $1 '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>'
    ${TaskLine} $1 '    <RestartOnFailure>'
    ${TaskLine} $1 '      <Interval>PT1M</Interval>'
    ${TaskLine} $1 '      <Count>3</Count>'
    ${TaskLine} $1 '    </RestartOnFailure>'
    ${TaskLine} $1 '    <Priority>4</Priority>'
    ${TaskLine} $1 '    <Enabled>true</Enabled>'
    ${TaskLine} $1 '  </Settings>'
    ${TaskLine} $1 '  <Actions Context="Author">'
    ${TaskLine} $1 '    <Exec>'
    ${TaskLine} $1 '      <Command>$2</Command>'
    ${TaskLine} $1 '    </Exec>'
    ${TaskLine} $1 '  </Actions>'
    ${TaskLine} $1 '</Task>'
    FileClose $1
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /create /tn "${ZEPHRIN_TASK_NAME}" /xml "$INSTDIR\LogonTask.xml" /f'
    Pop $0
    Pop $2
    Pop $1
FunctionEnd

Function un.RemoveLogonTask
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /delete /tn "${ZEPHRIN_TASK_NAME}" /f'
    Pop $0
FunctionEnd
