#pragma once
// The last word of a panel that faults: an unhandled exception on any thread
// writes a minidump to %ProgramData%\Zephrin\crashes (the five newest are
// kept) and a log line naming it; then Windows' own handling ends the process
// (and restarts it when the panel registered for that).
#include <windows.h>

namespace diag {

constexpr unsigned kDumpsKept = 5;

// Installs the handler for the whole process; call once, first thing.
void InstallCrashHandler();

// %ProgramData%\Zephrin\crashes (empty when that folder is unknown).
const wchar_t* CrashFolder();

// Deletes the oldest Zephrin-*.dmp files of the folder (by time written)
// until `keep` remain.
void KeepNewestDumps(const wchar_t* folder, unsigned keep);

} // namespace diag
