// The real panel's log: it stays within its bound by rotating to one older
// file, and a log that cannot be written (its folder taken by a file, or the
// file held by another program) changes nothing for the panel.
#include "Log.h"
#include "PanelProcess.h"
#include "SimCardControl.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD kStartTimeout = 15000;
constexpr UINT kShowPage = 0x7E8;
const std::wstring kAside = std::wstring(diag::DiagnosticsFolder()) + L".aside";

bool ReadTheOutputSwitch()
{
    for (int32_t i = 0; i < SimCard_JournalCount(); ++i) {
        SimCardCall call{};
        if (SimCard_JournalEntry(i, &call) && std::string(call.op) == "CMSUP_GetSpkData")
            return true;
    }
    return false;
}

// The machine's log folder (log, older log, dumps) set aside for the test
// and put back afterwards.
class PanelLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::RemoveTree(kAside);
        m_hadFolder = ::MoveFileW(diag::DiagnosticsFolder(), kAside.c_str()) != FALSE;
    }
    void TearDown() override
    {
        const std::wstring folder = diag::DiagnosticsFolder();
        ::DeleteFileW(folder.c_str()); // a file in the folder's place
        testsupport::RemoveTree(folder);
        if (m_hadFolder)
            ::MoveFileW(kAside.c_str(), folder.c_str());
    }

    // Starts the panel, lets it give the card its settings again after a
    // resume, then ends it by Exit; every step as usual.
    static void RunThePanel()
    {
        PanelProcess panel;
        ASSERT_TRUE(panel.Start());
        HWND main = panel.WaitForMainDialog(kStartTimeout);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(panel.WaitForListeners(kStartTimeout));
        SimCard_JournalClear();
        ::PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        // The re-application ends with the output switch read again; the
        // panel answers all the while.
        const DWORD start = ::GetTickCount();
        while (!ReadTheOutputSwitch()) {
            DWORD_PTR answer = 1;
            ASSERT_NE(::SendMessageTimeoutW(main, kShowPage, 0, 99, SMTO_ABORTIFHUNG, 1000, &answer), 0);
            ASSERT_LT(::GetTickCount() - start, 10000u) << "no re-application";
            ::Sleep(20);
        }
        EXPECT_TRUE(panel.Exit());
        EXPECT_EQ(panel.ExitCode(), 0u);
    }

    bool m_hadFolder = false;
};

TEST_F(PanelLog, AFullLogBecomesTheOlderOneAndANewOneStarts)
{
    // A log one short line short of its bound.
    ASSERT_TRUE(::CreateDirectoryW(diag::DiagnosticsFolder(), nullptr));
    std::string full = "\xEF\xBB\xBF";
    while (full.size() + 60 < diag::kLogLimitBytes)
        full += "2025-06-01 12:00:00.000 [1] an event of an earlier run....\r\n";
    ASSERT_TRUE(testsupport::WriteWholeFile(diag::PanelLog().Path(), full));
    ASSERT_TRUE(testsupport::WriteWholeFile(diag::PanelLog().OlderPath(), "an even older log"));

    RunThePanel();
    EXPECT_EQ(testsupport::ReadWholeFile(diag::PanelLog().OlderPath()), full) << "the full log, as it was";
    const std::string current = testsupport::ReadWholeFile(diag::PanelLog().Path());
    EXPECT_EQ(current.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_NE(current.find("] Zephrin "), std::string::npos) << current;
    EXPECT_NE(current.find("Card settings given again after a resume: taken"), std::string::npos) << current;
    EXPECT_NE(current.find("Exit chosen from the tray menu"), std::string::npos) << current;
    EXPECT_LT(testsupport::FileSize(diag::PanelLog().Path()), 4096u);
}

TEST_F(PanelLog, ALogThatCannotBeWrittenChangesNothingForThePanel)
{
    // The log's folder is taken by a file: no folder, no log.
    ASSERT_TRUE(testsupport::WriteWholeFile(diag::DiagnosticsFolder(), "not a folder"));
    RunThePanel();
    EXPECT_EQ(::GetFileAttributesW(diag::DiagnosticsFolder()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    ::DeleteFileW(diag::DiagnosticsFolder());

    // The log file held by another program that shares nothing.
    ASSERT_TRUE(::CreateDirectoryW(diag::DiagnosticsFolder(), nullptr));
    ASSERT_TRUE(testsupport::WriteWholeFile(diag::PanelLog().Path(), "\xEF\xBB\xBF"));
    HANDLE held = ::CreateFileW(diag::PanelLog().Path(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunThePanel();
    ::CloseHandle(held);
    EXPECT_EQ(testsupport::FileSize(diag::PanelLog().Path()), 3u) << "nothing written";
}

} // namespace
