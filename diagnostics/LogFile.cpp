#include "LogFile.h"

#include <cstdio>
#include <cwchar>

namespace diag {

namespace {

// Appends are short; a writer that holds the lock longer (a process stopped
// in a debugger, or one that faulted while writing) is not waited for.
constexpr DWORD kLockWait = 500;

// Serialises the size check, the rotation and the append of every process
// that writes a log.
HANDLE LogMutex()
{
    static HANDLE mutex = ::CreateMutexW(nullptr, FALSE, L"Local\\ZephrinLogLock");
    return mutex;
}

class LogLock {
public:
    LogLock()
    {
        HANDLE mutex = LogMutex();
        if (mutex) {
            const DWORD r = ::WaitForSingleObject(mutex, kLockWait);
            m_owned = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
        }
    }
    ~LogLock()
    {
        if (m_owned)
            ::ReleaseMutex(LogMutex());
    }
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;

private:
    bool m_owned = false;
};

bool Join(wchar_t* out, size_t capacity, const wchar_t* folder, const wchar_t* name, const wchar_t* extension)
{
    const int n = std::swprintf(out, capacity, L"%ls\\%ls%ls", folder, name, extension);
    return n > 0 && static_cast<size_t>(n) < capacity;
}

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

constexpr unsigned char kUtf8Mark[3] = {0xEF, 0xBB, 0xBF};

} // namespace

size_t FormatLinePrefix(const SYSTEMTIME& t, DWORD processId, wchar_t* out, size_t capacity)
{
    const int n = std::swprintf(out, capacity, L"%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] ", t.wYear, t.wMonth, t.wDay,
                                t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, processId);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

CLogFile::CLogFile(const wchar_t* folder, const wchar_t* baseName, uint64_t limitBytes) : m_limit(limitBytes)
{
    if (!folder || !*folder || !baseName)
        return;
    m_valid = std::swprintf(m_folder, kMaxPath, L"%ls", folder) > 0 &&
              Join(m_path, kMaxPath, folder, baseName, L".log") &&
              Join(m_olderPath, kMaxPath, folder, baseName, L".old.log");
}

HANDLE CLogFile::Open() const
{
    return ::CreateFileW(m_path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool CLogFile::Append(const wchar_t* text) const
{
    if (!m_valid || !text)
        return false;

    // The whole line in UTF-8, built before anything is opened.
    wchar_t line[kMaxLine + 64];
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    size_t length = FormatLinePrefix(now, ::GetCurrentProcessId(), line, kMaxLine);
    for (const wchar_t* c = text; *c && length < kMaxLine; ++c)
        line[length++] = (*c == L'\r' || *c == L'\n') ? L' ' : *c; // one event, one line
    line[length++] = L'\r';
    line[length++] = L'\n';
    char bytes[(kMaxLine + 64) * 3];
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line, static_cast<int>(length), bytes, sizeof bytes,
                                           nullptr, nullptr);
    if (size <= 0)
        return false;

    LogLock lock;
    ::CreateDirectoryW(m_folder, nullptr); // usually there already
    HANDLE file = Open();
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER current{};
    ::GetFileSizeEx(file, &current);
    if (current.QuadPart > 0 && static_cast<uint64_t>(current.QuadPart) + static_cast<uint64_t>(size) > m_limit) {
        // Full: it becomes the older file (replacing the one before) and a
        // new file starts. While it cannot (a program holds the older file)
        // the line is lost rather than the log growing past its bound.
        ::CloseHandle(file);
        if (!::MoveFileExW(m_path, m_olderPath, MOVEFILE_REPLACE_EXISTING))
            return false;
        file = Open();
        if (file == INVALID_HANDLE_VALUE)
            return false;
        current.QuadPart = 0;
        ::GetFileSizeEx(file, &current);
    }
    bool written = true;
    if (current.QuadPart == 0)
        written = WriteAll(file, kUtf8Mark, sizeof kUtf8Mark);
    written = written && WriteAll(file, bytes, static_cast<DWORD>(size));
    ::CloseHandle(file);
    return written;
}

} // namespace diag
