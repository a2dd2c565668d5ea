// The real panel faults: a thread started in it at an address where no code
// is. The fault leaves a minidump a debugger can read (it names the faulting
// thread), the five newest dumps are kept, and the log names the dump.
#include "CrashHandler.h"
#include "Log.h"
#include "LogWatch.h"
#include "PanelProcess.h"
#include "TestFiles.h"

#include <dbghelp.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Winedbg, which Wine starts for an unhandled fault, takes its time.
constexpr DWORD kFaultEndTimeout = 90000;

std::vector<std::wstring> Dumps()
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((std::wstring(diag::CrashFolder()) + L"\\Zephrin-*.dmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

// Five older dumps, the oldest first, removed again by the test.
class OlderDumps {
public:
    OlderDumps()
    {
        ::CreateDirectoryW(diag::DiagnosticsFolder(), nullptr);
        ::CreateDirectoryW(diag::CrashFolder(), nullptr);
        for (const std::wstring& name : Dumps())
            ::DeleteFileW(Path(name).c_str());
        SYSTEMTIME t{2020, 1, 0, 1, 8, 0, 0, 0};
        for (int i = 0; i < 5; ++i) {
            t.wMinute = static_cast<WORD>(i);
            m_names.push_back(L"Zephrin-2020010" + std::to_wstring(i + 1) + L"-080000-1.dmp");
            testsupport::CreateFileWrittenAt(Path(m_names.back()), t);
        }
    }
    ~OlderDumps()
    {
        for (const std::wstring& name : Dumps())
            ::DeleteFileW(Path(name).c_str());
    }
    OlderDumps(const OlderDumps&) = delete;
    OlderDumps& operator=(const OlderDumps&) = delete;

    static std::wstring Path(const std::wstring& name) { return std::wstring(diag::CrashFolder()) + L"\\" + name; }
    const std::vector<std::wstring>& names() const { return m_names; }

private:
    std::vector<std::wstring> m_names;
};

// A minidump file mapped for reading.
class MappedDump {
public:
    explicit MappedDump(const std::wstring& path)
    {
        m_file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (m_file == INVALID_HANDLE_VALUE)
            return;
        m_mapping = ::CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (m_mapping)
            m_base = ::MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0);
    }
    ~MappedDump()
    {
        if (m_base)
            ::UnmapViewOfFile(m_base);
        if (m_mapping)
            ::CloseHandle(m_mapping);
        if (m_file != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_file);
    }
    MappedDump(const MappedDump&) = delete;
    MappedDump& operator=(const MappedDump&) = delete;

    template <typename T>
    const T* Stream(ULONG kind) const
    {
        MINIDUMP_DIRECTORY* directory = nullptr;
        void* stream = nullptr;
        ULONG size = 0;
        if (!m_base || !::MiniDumpReadDumpStream(m_base, kind, &directory, &stream, &size) || size < sizeof(T))
            return nullptr;
        return static_cast<const T*>(stream);
    }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    void* m_base = nullptr;
};

TEST(AbnormalEnd, AFaultLeavesAReadableDumpNamingTheFaultingThreadAndALogLine)
{
    OlderDumps older;
    const testsupport::LogWatch log;
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    ASSERT_NE(panel.WaitForMainDialog(15000), nullptr);
    ASSERT_TRUE(panel.WaitForListeners(15000)) << "the panel runs";

    DWORD faultingThread = 0;
    HANDLE thread = ::CreateRemoteThread(panel.Handle(), nullptr, 0,
                                         reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10)),
                                         nullptr, 0, &faultingThread);
    ASSERT_NE(thread, nullptr);
    ::CloseHandle(thread);
    ASSERT_TRUE(panel.WaitForExit(kFaultEndTimeout)) << "the panel ends after the fault";
    EXPECT_EQ(panel.ExitCode(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

    // The log line names the fault, the thread and the dump.
    const std::string marker = "The panel ended after a fault: exception C0000005 at 0000000000000010 in thread " +
                               std::to_string(faultingThread) + "; dump ";
    std::string line;
    for (const std::string& l : log.NewLines())
        if (l.find(marker) != std::string::npos)
            line = l;
    ASSERT_FALSE(line.empty()) << "no log line for the fault";
    const std::string dumpPath = line.substr(line.find(marker) + marker.size());
    EXPECT_EQ(log.Count("The panel ended after a fault"), 1u);

    // The five newest dumps: the new one and four of the older ones.
    const std::vector<std::wstring> dumps = Dumps();
    EXPECT_EQ(dumps.size(), diag::kDumpsKept);
    EXPECT_EQ(::GetFileAttributesW(OlderDumps::Path(older.names().front()).c_str()), INVALID_FILE_ATTRIBUTES)
        << "the oldest dump went";
    for (size_t i = 1; i < older.names().size(); ++i)
        EXPECT_NE(::GetFileAttributesW(OlderDumps::Path(older.names()[i]).c_str()), INVALID_FILE_ATTRIBUTES);

    // The dump reads as one: the exception, in the thread that faulted, which
    // the dump's thread list holds.
    const MappedDump dump(std::wstring(dumpPath.begin(), dumpPath.end()));
    const auto* exception = dump.Stream<MINIDUMP_EXCEPTION_STREAM>(ExceptionStream);
    ASSERT_NE(exception, nullptr) << dumpPath;
    EXPECT_EQ(exception->ThreadId, faultingThread);
    EXPECT_EQ(exception->ExceptionRecord.ExceptionCode, static_cast<ULONG32>(EXCEPTION_ACCESS_VIOLATION));
    const auto* threads = dump.Stream<MINIDUMP_THREAD_LIST>(ThreadListStream);
    ASSERT_NE(threads, nullptr);
    bool listed = false;
    for (ULONG32 i = 0; i < threads->NumberOfThreads; ++i)
        listed = listed || threads->Threads[i].ThreadId == faultingThread;
    EXPECT_TRUE(listed) << "the faulting thread is among the dump's threads";
    EXPECT_GE(threads->NumberOfThreads, 2u);
}

} // namespace
