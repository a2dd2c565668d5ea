#pragma once
// The panel's log: %ProgramData%\Zephrin\Zephrin.log, one line per event
// (start, the reason of a silent end, a re-application of the card's
// settings, a listener that could not be registered, a crash, Exit), so a
// person who finds no icon can learn why. Nothing per click or per change of
// volume. A log that cannot be written is ignored: the panel never waits for
// it or tells the user about it.
#include "LogFile.h"

#include <string>

namespace diag {

// The log's size before it is rotated to Zephrin.old.log.
constexpr uint64_t kLogLimitBytes = 256 * 1024;

// Appends one line to the panel's log. Any thread; its shape fits a plain
// `void (*)(const wchar_t*)` hook (the framework's error report).
void LogLine(const wchar_t* text);
void LogLine(const std::wstring& text);

// %ProgramData%\Zephrin: the log and the crashes folder (empty when the
// system does not name the folder).
const wchar_t* DiagnosticsFolder();

// The panel's log file.
const CLogFile& PanelLog();

} // namespace diag
