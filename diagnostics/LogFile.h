#pragma once
// One text log file with a single older generation: folder\NAME.log is
// renamed to folder\NAME.old.log before a line would take it past its limit,
// so the two together never hold more than twice the limit. A line that
// could only go in past the limit (the rename refused) is not written.
//
// Lines are UTF-8 (the file starts with a byte-order mark, which Notepad on
// every Windows version takes as UTF-8), CRLF-ended, each stamped with the
// local time and the writing process. The file is opened for each line and
// closed again: a person can read, copy or delete it at any time, and several
// processes (a second copy of the panel) append to it in turn.
//
// Nothing here allocates from the heap, so the crash handler can still write
// its line when the heap is what failed.
#include <windows.h>

#include <cstdint>

namespace diag {

class CLogFile {
public:
    static constexpr size_t kMaxPath = 520;
    static constexpr size_t kMaxLine = 1000; // characters of text kept per line

    // folder and baseName ("Zephrin") make folder\Zephrin.log and
    // folder\Zephrin.old.log. The folder is created when a line is written.
    CLogFile(const wchar_t* folder, const wchar_t* baseName, uint64_t limitBytes);
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Writes one line; false when it could not be written (the log is then
    // simply without it).
    bool Append(const wchar_t* text) const;

    const wchar_t* Folder() const { return m_folder; }
    const wchar_t* Path() const { return m_path; }
    const wchar_t* OlderPath() const { return m_olderPath; }
    uint64_t Limit() const { return m_limit; }

private:
    HANDLE Open() const;

    wchar_t m_folder[kMaxPath] = {};
    wchar_t m_path[kMaxPath] = {};
    wchar_t m_olderPath[kMaxPath] = {};
    uint64_t m_limit;
    bool m_valid = false;
};

// "2025-06-01 14:03:22.123 [1234] " for the given local time and process id,
// into out (at least 48 characters); returns its length.
size_t FormatLinePrefix(const SYSTEMTIME& time, DWORD processId, wchar_t* out, size_t capacity);

} // namespace diag
