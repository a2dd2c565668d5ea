// Start-up and ending of the real panel, driven from outside as the system
// and the user would: a second start, a machine without the card, the hidden
// start, the answers of the page message and the key filter.
#include "PanelProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::wstring kSettingsKey = L"Software\\Marvolin\\VANTIR";
const std::wstring kCardHardwareKey =
    L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_FEED&DEV_0A17&SUBSYS_171314C3&REV_10";
constexpr UINT kShowPage = 0x7E8;
constexpr DWORD kStartTimeout = 15000;

// Every key, value type and value byte below path, as text for comparison.
std::wstring DumpTree(const std::wstring& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<absent>";
    std::wostringstream out;
    out << L"[" << path << L"]\n";
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        BYTE data[4096];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        out << name << L":" << type << L":";
        for (DWORD b = 0; b < size; ++b)
            out << static_cast<int>(data[b]) << L",";
        out << L"\n";
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    for (const auto& child : children)
        out << DumpTree(path + L"\\" + child);
    return out.str();
}

class StartupTest : public ::testing::Test {
protected:
    testsupport::RegistrySnapshot settings{kSettingsKey};
};

TEST_F(StartupTest, StartsHiddenInTheTrayAsAToolWindow)
{
    // A stored language with a leading blank is read as 2 and written back as "2".
    testsupport::SetText(kSettingsKey + L"\\CPL", L"language", L" 2");

    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr) << "the main dialog and its four pages exist";
    ::WaitForInputIdle(panel.Handle(), 5000);
    ::Sleep(500);

    EXPECT_TRUE(panel.VisibleWindows().empty()) << "nothing of the panel shows at start";
    LONG_PTR exStyle = ::GetWindowLongPtrW(main, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);

    std::wstring language;
    EXPECT_TRUE(testsupport::GetText(kSettingsKey + L"\\CPL", L"language", &language));
    EXPECT_EQ(language, L"2");

    EXPECT_TRUE(panel.Exit()) << "Exit ends the panel";
}

TEST_F(StartupTest, SecondStartEndsAndLeavesOnePanel)
{
    PanelProcess first;
    ASSERT_TRUE(first.Start());
    HWND main = first.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);

    PanelProcess second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit(5000)) << "the second panel ends by itself";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(second.MainDialog(), nullptr);

    EXPECT_FALSE(first.WaitForExit(0)) << "the first panel keeps running";
    EXPECT_EQ(first.MainDialog(), main);
    EXPECT_TRUE(first.VisibleWindows().empty()) << "the running panel is not told";
    EXPECT_TRUE(first.Exit()) << "Exit ends the panel";
}

TEST_F(StartupTest, WithoutTheCardEndsQuicklyWithoutWindowOrRegistryWrite)
{
    testsupport::RegistrySnapshot card(kCardHardwareKey);
    testsupport::DeleteTree(kCardHardwareKey);
    // A value the panel would rewrite at start ("7" would come back as "0").
    testsupport::SetText(kSettingsKey + L"\\CPL", L"language", L"7");
    const std::wstring before = DumpTree(kSettingsKey);

    PanelProcess panel;
    DWORD start = ::GetTickCount();
    ASSERT_TRUE(panel.Start());
    bool sawVisibleWindow = false;
    while (!panel.WaitForExit(10) && ::GetTickCount() - start < 8000)
        sawVisibleWindow = sawVisibleWindow || !panel.VisibleWindows().empty();
    DWORD elapsed = ::GetTickCount() - start;

    ASSERT_TRUE(panel.WaitForExit(0)) << "the panel must end by itself";
    EXPECT_LT(elapsed, 4000u);
    EXPECT_FALSE(sawVisibleWindow);
    EXPECT_EQ(DumpTree(kSettingsKey), before);
}

TEST_F(StartupTest, ShowPageAnswersOnlyForTheFivePages)
{
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ::WaitForInputIdle(panel.Handle(), 5000);
    ::Sleep(300);

    EXPECT_EQ(::SendMessageW(main, kShowPage, 0, 5), 0);
    EXPECT_EQ(::SendMessageW(main, kShowPage, 0, -1), 0);
    EXPECT_EQ(::SendMessageW(main, kShowPage, 0, 0x10001), 0);
    EXPECT_TRUE(panel.VisibleWindows().empty()) << "an unknown page changes nothing";

    for (int page : {1, 2, 3, 4, 0})
        EXPECT_EQ(::SendMessageW(main, kShowPage, 0, page), 1) << "page " << page;
    EXPECT_TRUE(panel.Exit()) << "Exit ends the panel";
}

TEST_F(StartupTest, EnterAndEscapeDoNotEndTheMainDialog)
{
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ::WaitForInputIdle(panel.Handle(), 5000);

    HWND knob = ::GetDlgItem(main, 1022);
    for (HWND target : {main, knob}) {
        if (!target)
            continue;
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            ::PostMessageW(target, WM_KEYDOWN, key, 1);
            ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        }
    }
    EXPECT_FALSE(panel.WaitForExit(1000)) << "a key press ended the panel";
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_EQ(panel.MainDialog(), main);
    EXPECT_TRUE(panel.Exit()) << "Exit ends the panel";
}

} // namespace
