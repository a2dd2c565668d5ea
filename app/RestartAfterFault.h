#pragma once
// Windows' restart of a panel that faulted. Registered once the panel runs;
// the restarted panel gets the arguments the logon task starts it with
// (none). Only a fault or a hang restarts it: after an update or a reboot the
// logon task starts it, and after a normal end it is withdrawn, so an Exit is
// never undone.

// Asks Windows to restart the panel after a fault; a failure is logged.
void RegisterRestartAfterFault();
// The panel ends on purpose: no restart.
void WithdrawRestartAfterFault();
