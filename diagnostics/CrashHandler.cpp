#include "CrashHandler.h"

#include "Log.h"

#include <dbghelp.h>

#include <cwchar>

namespace diag {

namespace {

// A dump of a large process can take a while; a writer that hangs (the
// loader lock held by the faulting thread) must not keep the panel alive.
constexpr DWORD kDumpWait = 60000;
// The writer runs on a fresh stack of its own: the faulting thread's may be
// the one that overflowed.
constexpr SIZE_T kWriterStack = 256 * 1024;

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

struct CrashReport {
    EXCEPTION_POINTERS* exception;
    DWORD threadId;
};

struct CrashFolderPath {
    wchar_t path[CLogFile::kMaxPath] = {};
    CrashFolderPath()
    {
        const wchar_t* folder = DiagnosticsFolder();
        if (*folder && std::swprintf(path, CLogFile::kMaxPath, L"%ls\\crashes", folder) < 0)
            path[0] = L'\0';
    }
};

// dbghelp.dll from the system folder only: the panel runs elevated and must
// not load a library of that name from anywhere else.
MiniDumpWriteDumpFn LoadMiniDumpWriter()
{
    wchar_t path[MAX_PATH + 16] = {};
    const UINT n = ::GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    std::wcscat(path, L"\\dbghelp.dll");
    HMODULE dbghelp = ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!dbghelp)
        return nullptr;
    return reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(::GetProcAddress(dbghelp, "MiniDumpWriteDump")));
}

// Writes the dump, keeps the newest few and logs the fault. Runs on a thread
// of its own while the faulting thread waits.
DWORD WINAPI WriteCrashReport(void* param)
{
    const CrashReport& report = *static_cast<const CrashReport*>(param);
    const EXCEPTION_RECORD* record = report.exception ? report.exception->ExceptionRecord : nullptr;

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t name[80] = {};
    std::swprintf(name, 80, L"Zephrin-%04u%02u%02u-%02u%02u%02u-%lu.dmp", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, ::GetCurrentProcessId());

    DWORD error = ERROR_PATH_NOT_FOUND;
    bool written = false;
    const wchar_t* folder = CrashFolder();
    wchar_t path[CLogFile::kMaxPath] = {};
    if (*folder && std::swprintf(path, CLogFile::kMaxPath, L"%ls\\%ls", folder, name) > 0) {
        ::CreateDirectoryW(DiagnosticsFolder(), nullptr);
        ::CreateDirectoryW(folder, nullptr);
        MiniDumpWriteDumpFn writeDump = LoadMiniDumpWriter();
        HANDLE file = writeDump ? ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr)
                                : INVALID_HANDLE_VALUE;
        error = ::GetLastError();
        if (file != INVALID_HANDLE_VALUE) {
            MINIDUMP_EXCEPTION_INFORMATION exception{report.threadId, report.exception, FALSE};
            written = writeDump(::GetCurrentProcess(), ::GetCurrentProcessId(), file,
                                static_cast<MINIDUMP_TYPE>(MiniDumpNormal | MiniDumpWithThreadInfo),
                                report.exception ? &exception : nullptr, nullptr, nullptr) != FALSE;
            error = ::GetLastError();
            ::CloseHandle(file);
            if (!written)
                ::DeleteFileW(path);
        }
        KeepNewestDumps(folder, kDumpsKept);
    }

    wchar_t line[CLogFile::kMaxLine] = {};
    const unsigned long code = record ? record->ExceptionCode : 0;
    const void* address = record ? record->ExceptionAddress : nullptr;
    if (written)
        std::swprintf(line, CLogFile::kMaxLine, L"The panel ended after a fault: exception %08lX at %p in thread %lu; "
                      L"dump %ls", code, address, report.threadId, path);
    else
        std::swprintf(line, CLogFile::kMaxLine, L"The panel ended after a fault: exception %08lX at %p in thread %lu; "
                      L"no dump could be written (error %lu)", code, address, report.threadId, error);
    LogLine(line);
    return 0;
}

volatile LONG g_reporting = 0;

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception)
{
    // One report per process: a second thread that faults meanwhile waits
    // for the end the first one leads to.
    if (::InterlockedExchange(&g_reporting, 1) != 0) {
        ::Sleep(INFINITE);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    CrashReport report{exception, ::GetCurrentThreadId()};
    if (HANDLE writer = ::CreateThread(nullptr, kWriterStack, WriteCrashReport, &report, 0, nullptr)) {
        ::WaitForSingleObject(writer, kDumpWait);
        ::CloseHandle(writer);
    } else {
        WriteCrashReport(&report);
    }
    // Windows' own handling ends the process: its error reporting sees the
    // fault and restarts a panel that registered for a restart.
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

const wchar_t* CrashFolder()
{
    static const CrashFolderPath folder;
    return folder.path;
}

void InstallCrashHandler()
{
    // Named now, while the heap and the loader are sound.
    CrashFolder();
    PanelLog();
    ::SetUnhandledExceptionFilter(OnUnhandledException);
}

void KeepNewestDumps(const wchar_t* folder, unsigned keep)
{
    wchar_t pattern[CLogFile::kMaxPath] = {};
    if (!folder || std::swprintf(pattern, CLogFile::kMaxPath, L"%ls\\Zephrin-*.dmp", folder) < 0)
        return;
    // Each pass finds the oldest and the count; a few passes at most.
    for (;;) {
        unsigned count = 0;
        FILETIME oldestTime{MAXDWORD, MAXDWORD};
        wchar_t oldest[MAX_PATH] = {};
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW(pattern, &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            ++count;
            const LONG order = ::CompareFileTime(&found.ftLastWriteTime, &oldestTime);
            if (order < 0 || (order == 0 && std::wcscmp(found.cFileName, oldest) < 0)) {
                oldestTime = found.ftLastWriteTime;
                std::wcscpy(oldest, found.cFileName);
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        if (count <= keep)
            return;
        wchar_t path[CLogFile::kMaxPath] = {};
        if (std::swprintf(path, CLogFile::kMaxPath, L"%ls\\%ls", folder, oldest) < 0 || !::DeleteFileW(path))
            return; // never loop on a file that will not go
    }
}

} // namespace diag
