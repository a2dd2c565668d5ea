// Start-up and ending of the real panel, driven from outside as the system
// and the user would: a second start, a machine without the card, the hidden
// start, the answers of the page message and the key filter.
#include "LogWatch.h"
#include "PanelMessages.h"
#include "PanelProcess.h"
#include "StandInControl.h"
#include "TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const std::wstring kSettingsKey = L"Software\\Marvolin\\VANTIR";
const std::wstring kCardHardwareKey =
    L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_FEED&DEV_0A17&SUBSYS_171314C3&REV_10";
constexpr DWORD kStartTimeout = 15000;
constexpr int kInfoOsLine = 1020;

// A copy of the program with some of the libraries beside it, in a scratch
// folder of its own (removed again at the end).
class ProgramCopy {
public:
    explicit ProgramCopy(const std::vector<std::wstring>& files) : ProgramCopy(files, {}) {}
    // `renamed`: a library copied under another name (source, name in the copy).
    ProgramCopy(const std::vector<std::wstring>& files,
                const std::vector<std::pair<std::wstring, std::wstring>>& renamed)
    {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"zephrin-copy-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        for (const std::wstring& file : files) {
            const std::wstring target = m_folder + L"\\" + file;
            if (::CopyFileW((testsupport::ProgramFolder() + L"\\" + file).c_str(), target.c_str(), FALSE))
                m_files.push_back(target);
            else
                m_complete = false;
        }
        for (const auto& [source, name] : renamed) {
            const std::wstring target = m_folder + L"\\" + name;
            if (::CopyFileW((testsupport::ProgramFolder() + L"\\" + source).c_str(), target.c_str(), FALSE))
                m_files.push_back(target);
            else
                m_complete = false;
        }
    }
    ~ProgramCopy()
    {
        for (const std::wstring& file : m_files)
            ::DeleteFileW(file.c_str());
        // The simulated card keeps its state beside its library.
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((m_folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW((m_folder + L"\\" + found.cFileName).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(m_folder.c_str());
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    bool complete() const { return m_complete; }
    const std::wstring& folder() const { return m_folder; }

private:
    std::wstring m_folder;
    std::vector<std::wstring> m_files;
    bool m_complete = true;
};

// How a panel that should end by itself did: whether it ended within 8 s,
// how long after `start` that was, and whether any of its windows showed.
struct SelfEnd {
    bool ended = false;
    bool sawVisibleWindow = false;
    DWORD elapsed = 0;
};

SelfEnd WatchUntilItEnds(PanelProcess& panel, DWORD start)
{
    SelfEnd end;
    while (!(end.ended = panel.WaitForExit(10)) && ::GetTickCount() - start < 8000)
        end.sawVisibleWindow = end.sawVisibleWindow || !panel.VisibleWindows().empty();
    end.elapsed = ::GetTickCount() - start;
    return end;
}

// Waits until `page` (the main dialog or one of its pages) is visible; false
// when the panel ended or the main dialog went first.
bool ShowsPage(PanelProcess& panel, HWND main, HWND page)
{
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < kStartTimeout;) {
        if (::IsWindowVisible(page))
            return true;
        if (!::IsWindow(main) || panel.WaitForExit(20))
            return false;
    }
    return false;
}

// A key pressed and released, queued for the window as the system would.
void PostKeyPress(HWND target, WPARAM key)
{
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// The page the main dialog owns that holds a control with this id.
HWND OwnedPage(const PanelProcess& panel, HWND main, int controlId)
{
    for (HWND wnd : panel.Windows())
        if (::GetWindow(wnd, GW_OWNER) == main && ::GetDlgItem(wnd, controlId))
            return wnd;
    return nullptr;
}

class StartupTest : public ::testing::Test {
protected:
    testsupport::RegistrySnapshot settings{kSettingsKey};
};

TEST_F(StartupTest, StartsHiddenInTheTrayAsAToolWindow)
{
    // A stored language with a leading blank is read as 2 and written back as "2".
    testsupport::SetText(kSettingsKey + L"\\CPL", L"language", L" 2");
    const testsupport::LogWatch log;

    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr) << "the main dialog and its four pages exist";
    ASSERT_TRUE(panel.WaitForListeners(kStartTimeout)) << "the start is complete";

    EXPECT_TRUE(panel.VisibleWindows().empty()) << "nothing of the panel shows at start";
    LONG_PTR exStyle = ::GetWindowLongPtrW(main, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);

    std::wstring language;
    EXPECT_TRUE(testsupport::GetText(kSettingsKey + L"\\CPL", L"language", &language));
    EXPECT_EQ(language, L"2");

    EXPECT_TRUE(panel.Exit()) << "Exit ends the panel";
    // The log tells that it started, and that it ended by Exit.
    EXPECT_EQ(log.Count("] Zephrin "), 1u);
    EXPECT_EQ(log.Count("Exit chosen from the tray menu"), 1u);
    EXPECT_EQ(log.NewLines().size(), 2u);
}

TEST_F(StartupTest, SecondStartEndsAndLeavesOnePanel)
{
    const testsupport::LogWatch log;
    PanelProcess first;
    ASSERT_TRUE(first.Start());
    HWND main = first.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    // Hidden in the tray only once its start is complete: on a busy machine the
    // dialog is still on its way from shown to hidden when its pages exist.
    ASSERT_TRUE(first.WaitForListeners(kStartTimeout)) << "the first panel's start is complete";

    PanelProcess second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit(5000)) << "the second panel ends by itself";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(second.MainDialog(), nullptr);

    EXPECT_FALSE(first.WaitForExit(0)) << "the first panel keeps running";
    EXPECT_EQ(first.MainDialog(), main);
    EXPECT_TRUE(first.VisibleWindows().empty()) << "the running panel is not told";
    // Only the log says why the second one ended.
    EXPECT_EQ(log.Count("Ended at start: another copy of the panel is running"), 1u);
    EXPECT_TRUE(first.Exit()) << "Exit ends the panel";
}

TEST_F(StartupTest, WithoutTheCardEndsQuicklyWithoutWindowOrRegistryWrite)
{
    testsupport::RegistrySnapshot card(kCardHardwareKey);
    testsupport::DeleteTree(kCardHardwareKey);
    // A value the panel would rewrite at start ("7" would come back as "0").
    testsupport::SetText(kSettingsKey + L"\\CPL", L"language", L"7");
    const testsupport::RegistryTree before = testsupport::ReadTree(kSettingsKey);
    const testsupport::LogWatch log;

    PanelProcess panel;
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(panel.Start());
    const SelfEnd end = WatchUntilItEnds(panel, start);

    ASSERT_TRUE(end.ended) << "the panel must end by itself";
    EXPECT_LT(end.elapsed, 4000u);
    EXPECT_FALSE(end.sawVisibleWindow);
    EXPECT_TRUE(testsupport::ReadTree(kSettingsKey) == before) << "the settings were written";
    EXPECT_EQ(log.Count("Ended at start: Windows lists no device described as VANTIR"), 1u);
}

TEST_F(StartupTest, WithoutTheCardLibraryEndsAsQuietlyAsWithoutTheCard)
{
    // The card's software is damaged: its library is missing beside the
    // program. The current folder (the build's) holds one, which an elevated
    // program must not take either.
    ProgramCopy copy({L"Zephrin.exe", L"FindDeviceWinxp.dll", L"Vek_GetDxVerDll.dll"});
    ASSERT_TRUE(copy.complete());
    testsupport::SetText(kSettingsKey + L"\\CPL", L"language", L"7");
    const testsupport::RegistryTree before = testsupport::ReadTree(kSettingsKey);
    const testsupport::LogWatch log;

    PanelProcess panel;
    ASSERT_TRUE(panel.Start(copy.folder(), testsupport::ProgramFolder()));
    const SelfEnd end = WatchUntilItEnds(panel, ::GetTickCount());

    ASSERT_TRUE(end.ended) << "the panel must end by itself";
    EXPECT_EQ(panel.ExitCode(), 0u) << "ended by its own code, not by the system's loader";
    EXPECT_FALSE(end.sawVisibleWindow);
    EXPECT_TRUE(testsupport::ReadTree(kSettingsKey) == before) << "the settings were written";
    EXPECT_EQ(log.Count("Ended at start: the card's control library is damaged: CmAudioX.dll was found neither "
                        "beside the panel nor in the system folder"),
              1u);
}

TEST_F(StartupTest, ACardLibraryWithoutTheOperationsEndsItQuietlyToo)
{
    // A damaged library: a file of that name that exports none of the operations.
    ProgramCopy copy({L"Zephrin.exe", L"FindDeviceWinxp.dll", L"Vek_GetDxVerDll.dll"},
                     {{L"FindDeviceWinxp.dll", L"CmAudioX.dll"}});
    ASSERT_TRUE(copy.complete());
    const testsupport::RegistryTree before = testsupport::ReadTree(kSettingsKey);
    const testsupport::LogWatch log;

    PanelProcess panel;
    ASSERT_TRUE(panel.Start(copy.folder(), {}));
    const SelfEnd end = WatchUntilItEnds(panel, ::GetTickCount());

    ASSERT_TRUE(end.ended) << "the panel must end by itself";
    EXPECT_EQ(panel.ExitCode(), 0u);
    EXPECT_FALSE(end.sawVisibleWindow);
    EXPECT_TRUE(testsupport::ReadTree(kSettingsKey) == before) << "the settings were written";
    EXPECT_EQ(log.Count("Ended at start: the card's control library is damaged: CmAudioX.dll lacks the operation "
                        "CMSUP_GetInterface"),
              1u);
}

TEST_F(StartupTest, WithoutTheDirectXVersionLibraryTheInfoLineIsEmpty)
{
    // The current folder holds the library; only the program's own folder counts.
    ProgramCopy copy({L"Zephrin.exe", L"FindDeviceWinxp.dll", L"CmAudioX.dll"});
    ASSERT_TRUE(copy.complete());
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(copy.folder(), testsupport::ProgramFolder()));
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(::SendMessageW(main, WM_SHOW_PAGE, 0, 3), 1) << "the Info page shows";

    HWND line = nullptr;
    for (HWND wnd : panel.Windows())
        if (::GetWindow(wnd, GW_OWNER) == main && ::IsWindowVisible(wnd))
            line = ::GetDlgItem(wnd, 1023);
    ASSERT_NE(line, nullptr);
    wchar_t text[64] = L"unread";
    ::GetWindowTextW(line, text, 64);
    EXPECT_STREQ(text, L"");
    HWND os = ::GetDlgItem(::GetParent(line), 1020);
    EXPECT_GT(::GetWindowTextLengthW(os), 0) << "the other lines are filled";
    EXPECT_TRUE(panel.Exit());
}

TEST_F(StartupTest, ShowPageAnswersOnlyForTheFivePages)
{
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(panel.WaitForListeners(kStartTimeout)) << "the start is complete";

    EXPECT_EQ(::SendMessageW(main, WM_SHOW_PAGE, 0, 5), 0);
    EXPECT_EQ(::SendMessageW(main, WM_SHOW_PAGE, 0, -1), 0);
    EXPECT_EQ(::SendMessageW(main, WM_SHOW_PAGE, 0, 0x10001), 0);
    EXPECT_TRUE(panel.VisibleWindows().empty()) << "an unknown page changes nothing";

    for (int page : {1, 2, 3, 4, 0})
        EXPECT_EQ(::SendMessageW(main, WM_SHOW_PAGE, 0, page), 1) << "page " << page;
    EXPECT_TRUE(panel.Exit()) << "Exit ends the panel";
}

TEST_F(StartupTest, EnterAndEscapeDoNotEndTheMainDialog)
{
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(panel.WaitForListeners(kStartTimeout));

    HWND knob = ::GetDlgItem(main, 1022);
    ASSERT_NE(knob, nullptr);
    for (HWND target : {main, knob}) {
        for (WPARAM key : {VK_RETURN, VK_ESCAPE})
            PostKeyPress(target, key);
    }
    // Two fences: the first page request is queued behind the keys, so once
    // the main page shows every key was handled (a key that ended the dialog
    // would have hidden it and left the loop before). The second is queued
    // behind anything those keys posted in turn (a close, a command).
    ::PostMessageW(main, WM_SHOW_PAGE, 0, 0);
    ASSERT_TRUE(ShowsPage(panel, main, main)) << "a key press ended the main dialog";
    HWND info = OwnedPage(panel, main, kInfoOsLine);
    ASSERT_NE(info, nullptr);
    ::PostMessageW(main, WM_SHOW_PAGE, 0, 3);
    ASSERT_TRUE(ShowsPage(panel, main, info)) << "the panel stopped handling its messages";
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_EQ(panel.MainDialog(), main);
    EXPECT_FALSE(panel.WaitForExit(0));
    EXPECT_TRUE(panel.Exit()) << "Exit ends the panel";
}

TEST_F(StartupTest, TheMainPagesKnobsTakeNoKeys)
{
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    // The start-up timer has shown the endpoints' levels once it registered.
    ASSERT_TRUE(panel.WaitForListeners(kStartTimeout));

    const HWND knobs[] = {::GetDlgItem(main, 1022), ::GetDlgItem(main, 1023)};
    LRESULT before[2] = {};
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(knobs[i], nullptr);
        before[i] = ::SendMessageW(knobs[i], TBM_GETPOS, 0, 0);
        for (WPARAM key : {VK_LEFT, VK_UP, VK_PRIOR, VK_RIGHT, VK_DOWN, VK_NEXT, VK_NEXT})
            PostKeyPress(knobs[i], key);
    }
    // Queued after the keys: once the page shows, every key was handled.
    ::PostMessageW(main, WM_SHOW_PAGE, 0, 0);
    ASSERT_TRUE(ShowsPage(panel, main, main));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(::SendMessageW(knobs[i], TBM_GETPOS, 0, 0), before[i]) << "knob " << i;
    EXPECT_TRUE(panel.Exit());
}

} // namespace
