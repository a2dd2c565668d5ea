// The log file on scratch folders: it stays within its bound while lines keep
// coming, keeps one older generation without a gap, writes each event as one
// UTF-8 line, and shrugs off a folder it cannot write. The crash dumps kept
// are the newest five.
#include "CrashHandler.h"
#include "LogFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ScratchFolder {
public:
    ScratchFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"zephrin-log-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++s_count);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~ScratchFolder() { testsupport::RemoveTree(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return m_path; }

private:
    static inline int s_count = 0;
    std::wstring m_path;
};

// The lines of a log file without the byte-order mark and line ends.
std::vector<std::string> Lines(const std::wstring& path)
{
    std::string text = testsupport::ReadWholeFile(path);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u) << "every log file starts as UTF-8";
    std::vector<std::string> lines;
    size_t begin = 3;
    while (begin < text.size()) {
        const size_t end = text.find("\r\n", begin);
        EXPECT_NE(end, std::string::npos) << "every line ends with CRLF";
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

// The number a test line carries after "event ".
int EventNumber(const std::string& line)
{
    const size_t at = line.find("event ");
    return at == std::string::npos ? -1 : std::stoi(line.substr(at + 6));
}

TEST(LogFile, StaysWithinItsBoundAndKeepsOneOlderGenerationWithoutAGap)
{
    ScratchFolder folder;
    constexpr uint64_t kLimit = 4096;
    const diag::CLogFile log(folder.path().c_str(), L"Zephrin", kLimit);
    EXPECT_EQ(std::wstring(log.Path()), folder.path() + L"\\Zephrin.log");
    EXPECT_EQ(std::wstring(log.OlderPath()), folder.path() + L"\\Zephrin.old.log");

    for (int i = 0; i < 600; ++i) {
        ASSERT_TRUE(log.Append((L"event " + std::to_wstring(i) + L" of the long run").c_str()));
        ASSERT_LE(testsupport::FileSize(log.Path()), kLimit) << "after event " << i;
        ASSERT_LE(testsupport::FileSize(log.OlderPath()), kLimit) << "after event " << i;
    }
    // Each line: "2025-06-01 14:03:22.123 [1234] event N of the long run".
    const std::vector<std::string> older = Lines(log.OlderPath());
    const std::vector<std::string> current = Lines(log.Path());
    ASSERT_FALSE(older.empty());
    ASSERT_FALSE(current.empty());
    EXPECT_EQ(EventNumber(current.back()), 599);
    EXPECT_EQ(EventNumber(older.back()) + 1, EventNumber(current.front())) << "nothing lost at the rotation";
    for (size_t i = 1; i < current.size(); ++i)
        EXPECT_EQ(EventNumber(current[i - 1]) + 1, EventNumber(current[i]));
    const std::string pid = "[" + std::to_string(::GetCurrentProcessId()) + "] ";
    EXPECT_EQ(current.back().find(pid), 24u) << current.back();
    EXPECT_EQ(current.back()[4], '-');
    EXPECT_EQ(current.back()[13], ':');
}

TEST(LogFile, AnEventIsOneUtf8LineWhateverItsText)
{
    ScratchFolder folder;
    const diag::CLogFile log(folder.path().c_str(), L"Zephrin", 4096);
    ASSERT_TRUE(log.Append(L"VANTIR 数字输出 came back\r\nsecond half"));
    ASSERT_TRUE(log.Append(std::wstring(3000, L'x').c_str()));
    const std::vector<std::string> lines = Lines(log.Path());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("VANTIR \xE6\x95\xB0\xE5\xAD\x97\xE8\xBE\x93\xE5\x87\xBA came back  second half"),
              std::string::npos)
        << lines[0];
    EXPECT_LT(lines[1].size(), 1100u) << "a very long text is cut, not spread over lines";
}

TEST(LogFile, AFolderItCannotWriteIsIgnoredAndALaterLineGoesInOnceItCan)
{
    ScratchFolder folder;
    // The log's folder is taken by a file: nothing can be created there.
    const std::wstring blocked = folder.path() + L"\\Zephrin";
    HANDLE file = ::CreateFileW(blocked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    const diag::CLogFile inBlocked(blocked.c_str(), L"Zephrin", 4096);
    EXPECT_FALSE(inBlocked.Append(L"lost"));

    // The log file is held by a program that shares nothing.
    const diag::CLogFile log(folder.path().c_str(), L"Zephrin", 4096);
    ASSERT_TRUE(log.Append(L"event 1"));
    HANDLE held = ::CreateFileW(log.Path(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(log.Append(L"event 2"));
    ::CloseHandle(held);
    ASSERT_TRUE(log.Append(L"event 3"));
    const std::vector<std::string> lines = Lines(log.Path());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(EventNumber(lines[1]), 3);
}

TEST(LogFile, StaysWithinItsBoundWhileItCannotBeRotated)
{
    ScratchFolder folder;
    constexpr uint64_t kLimit = 4096;
    const diag::CLogFile log(folder.path().c_str(), L"Zephrin", kLimit);
    ASSERT_TRUE(log.Append(L"event 0"));
    ASSERT_TRUE(testsupport::WriteWholeFile(log.OlderPath(), "an older log"));
    // A viewer holds the older file open: it cannot be replaced, so the full
    // log cannot become it.
    HANDLE viewer = ::CreateFileW(log.OlderPath(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    for (int i = 1; i < 200; ++i) {
        log.Append((L"event " + std::to_wstring(i) + L" of the long run").c_str());
        ASSERT_LE(testsupport::FileSize(log.Path()), kLimit) << "after event " << i;
    }
    ::CloseHandle(viewer);
    EXPECT_EQ(testsupport::ReadWholeFile(log.OlderPath()), "an older log") << "the older file as it was";

    // Released: the next line rotates as usual.
    ASSERT_TRUE(log.Append(L"event 200"));
    const std::vector<std::string> lines = Lines(log.Path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(EventNumber(lines[0]), 200);
    EXPECT_EQ(EventNumber(Lines(log.OlderPath()).front()), 0);
}

TEST(CrashDumps, TheFiveNewestAreKept)
{
    ScratchFolder folder;
    // Seven dumps written a minute apart, named against their age, and a file
    // that is not a dump.
    const SYSTEMTIME base{2025, 6, 0, 1, 12, 0, 0, 0};
    for (int i = 0; i < 7; ++i) {
        SYSTEMTIME written = base;
        written.wMinute = static_cast<WORD>(i);
        ASSERT_TRUE(testsupport::CreateFileWrittenAt(
            folder.path() + L"\\Zephrin-" + std::to_wstring(9 - i) + L".dmp", written));
    }
    const std::wstring other = folder.path() + L"\\notes.txt";
    ::CloseHandle(::CreateFileW(other.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    diag::KeepNewestDumps(folder.path().c_str(), diag::kDumpsKept);
    for (int i = 0; i < 7; ++i) {
        const std::wstring path = folder.path() + L"\\Zephrin-" + std::to_wstring(9 - i) + L".dmp";
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, i >= 2) << "dump written " << i;
    }
    EXPECT_NE(::GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
