#pragma once
// The panel's log (%ProgramData%\Zephrin\Zephrin.log of the test machine) as
// a test reads it: the lines written since the watch began, across one
// rotation to the older file.
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

class LogWatch {
public:
    LogWatch();

    // Lines added since construction, without their line ends (UTF-8).
    std::vector<std::string> NewLines() const;
    // How many of them contain the text.
    size_t Count(const std::string& text) const;
    bool Contains(const std::string& text) const { return Count(text) > 0; }
    // Waits until a new line (or `count` new lines) contains the text (the
    // log is written by another process); false after the timeout.
    bool WaitFor(const std::string& text, DWORD milliseconds) const { return WaitFor(text, 1, milliseconds); }
    bool WaitFor(const std::string& text, size_t count, DWORD milliseconds) const;

private:
    size_t m_start = 0; // size of the log when the watch began
};

} // namespace testsupport
