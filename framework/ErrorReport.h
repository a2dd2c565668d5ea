#pragma once
// Where the framework tells of a fault it stopped: an exception caught at a
// window procedure's barrier, for one. Reports go to the debugger's output
// until the program names its own reporter (a log file, say).
#include <string>

namespace fw {

// Reports one line of text.
void ReportError(const wchar_t* text);
// Sends every later report to `reporter` (from any thread; the reporter must
// take calls from any thread too); null goes back to the debugger's output.
void SetErrorReporter(void (*reporter)(const wchar_t* text));

// Reports an exception stopped at `where`, with its own explanation `what`
// (null for an exception that is not a standard one).
void ReportException(const std::wstring& where, const char* what);

} // namespace fw
