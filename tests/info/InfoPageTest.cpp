// The Info page: its seven lines, the system line read from the system, the
// DirectX line from the library beside the program, the maker's address
// opened after the window move, and the language switch.
#include "DlgInfo.h"
#include "PageHarness.h"
#include "PanelMessages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <memory>

using namespace pagetests;
using testsupport::RegistrySnapshot;

namespace {

const std::wstring kVantirKey = L"Software\\Marvolin\\VANTIR";
const std::wstring kInfoKey = kVantirKey + L"\\Info";

std::wstring SystemFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

bool SystemHas(const wchar_t* file)
{
    return ::GetFileAttributesW((SystemFolder() + L"\\" + file).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class InfoPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::DeleteTree(kInfoKey);
        testsupport::CreateKey(kInfoKey);
    }

    // Creates the page as the main dialog does: hidden, unless the test
    // presses on it (only a visible window can be moved by a press).
    void Open(bool visible = false)
    {
        page = std::make_unique<CDlgInfo>();
        page->SetAddressOpener([this](const std::wstring& address) {
            opened.push_back(address);
            windowAtOpen = page->GetWindowRect();
        });
        ASSERT_TRUE(page->Create(CDlgInfo::IDD, owner.hwnd()));
        page->SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (visible)
            page->ShowWindow(SW_SHOWNA);
        testsupport::PumpMessages();
    }

    std::wstring Line(int id) { return page->Label(id).GetWindowText(); }

    RegistrySnapshot snapshot{kVantirKey};
    OwnerWindow owner;
    std::unique_ptr<CDlgInfo> page;
    std::vector<std::wstring> opened;
    RECT windowAtOpen{};
};

TEST_F(InfoPageTest, LinesShowTheStoredVersionsAndTheProductTexts)
{
    testsupport::SetText(kInfoKey, L"DriverVer", L"6.0.1.23");
    Open();
    EXPECT_EQ(Line(IDC_INFO_DRIVER), L"6.0.1.23");
    EXPECT_EQ(Line(IDC_INFO_PANEL), L"") << "a missing CPLVer shows an empty line";
    EXPECT_EQ(Line(IDC_INFO_TITLE), L"Marvolin Vantir Audio Configuration");
    EXPECT_EQ(Line(IDC_INFO_COPYRIGHT), L"Copyright \u00A9 2026 Marvolin");
    EXPECT_EQ(Line(IDC_INFO_ADDRESS), L"http://www.marvolin.com");
    for (int id = IDC_INFO_OS; id <= IDC_INFO_ADDRESS; ++id)
        EXPECT_EQ(page->Label(id).GetTextColor(), RGB(235, 235, 235));

    const struct {
        int id;
        POINT at;
    } places[] = {{1020, {212, 85}}, {1021, {212, 120}}, {1022, {212, 156}}, {1023, {212, 192}},
                  {1024, {449, 85}}, {1025, {449, 138}}, {1026, {449, 192}}};
    for (const auto& p : places) {
        RECT rc = ChildRect(page->m_hWnd, p.id);
        EXPECT_EQ(rc.left, p.at.x) << p.id;
        EXPECT_EQ(rc.top, p.at.y) << p.id;
    }

    // Without the Info subkey both version lines are empty.
    testsupport::DeleteTree(kInfoKey);
    Open();
    EXPECT_EQ(Line(IDC_INFO_DRIVER), L"");
    EXPECT_EQ(Line(IDC_INFO_PANEL), L"");
}

// The running system as its own registry describes it: a source of the
// version apart from the call the page makes, so the page is checked against
// the system rather than against a copy of its own steps.
struct SystemRecord {
    std::wstring name;
    unsigned major = 0, minor = 0, build = 0;
};

SystemRecord ReadSystemRecord()
{
    SystemRecord record;
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    auto text = [&](const wchar_t* name) {
        wchar_t buffer[256] = {};
        DWORD size = sizeof buffer - sizeof(wchar_t);
        ::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size);
        return std::wstring(buffer);
    };
    record.name = text(L"ProductName");
    record.build = static_cast<unsigned>(std::wcstoul(text(L"CurrentBuildNumber").c_str(), nullptr, 10));
    DWORD number = 0, size = sizeof number;
    // Windows 10 and later keep "6.3" in CurrentVersion and the real numbers beside it.
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentMajorVersionNumber", RRF_RT_REG_DWORD, nullptr, &number,
                       &size) == ERROR_SUCCESS) {
        record.major = number;
        size = sizeof number;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentMinorVersionNumber", RRF_RT_REG_DWORD, nullptr, &number,
                           &size) == ERROR_SUCCESS)
            record.minor = number;
    } else {
        const std::wstring version = text(L"CurrentVersion");
        wchar_t* rest = nullptr;
        record.major = static_cast<unsigned>(std::wcstoul(version.c_str(), &rest, 10));
        if (rest && *rest == L'.')
            record.minor = static_cast<unsigned>(std::wcstoul(rest + 1, nullptr, 10));
    }
    return record;
}

TEST_F(InfoPageTest, SystemLineNamesTheRunningSystem)
{
    const SystemRecord system = ReadSystemRecord();
    ASSERT_GT(system.build, 0u) << "the system's registry gives no build number";
    SYSTEM_INFO native{};
    ::GetNativeSystemInfo(&native);
    const bool is64Bit = native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                         native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
    Open();
    EXPECT_EQ(Line(IDC_INFO_OS),
              CDlgInfo::FormatOperatingSystem(system.name, system.major, system.minor, system.build, is64Bit));
}

TEST_F(InfoPageTest, SystemLineCorrectsTheNameWindows11KeepsFromWindows10)
{
    EXPECT_EQ(CDlgInfo::FormatOperatingSystem(L"Windows 10 Pro", 10, 0, 22631, true),
              L"Windows 11 Pro 10.0.22631 64bit");
    EXPECT_EQ(CDlgInfo::FormatOperatingSystem(L"Windows 10 Pro", 10, 0, 19045, true),
              L"Windows 10 Pro 10.0.19045 64bit");
    EXPECT_EQ(CDlgInfo::FormatOperatingSystem(L"Windows 8.1 Enterprise", 6, 3, 9600, false),
              L"Windows 8.1 Enterprise 6.3.9600 32bit");
    EXPECT_EQ(CDlgInfo::FormatOperatingSystem(L"", 6, 1, 7601, false), L"Windows 6.1.7601 32bit");
    EXPECT_EQ(CDlgInfo::FormatOperatingSystem(L"Microsoft Windows 7 Ultimate", 6, 1, 7601, true),
              L"Windows 7 Ultimate 6.1.7601 64bit");
}

TEST_F(InfoPageTest, DirectXLineComesFromTheLibraryBesideTheProgram)
{
    Open();
    // This system's newest Direct3D library decides the number.
    const int expected = SystemHas(L"d3d12.dll")  ? 12
                         : SystemHas(L"d3d11.dll") ? 11
                         : SystemHas(L"d3d10.dll") ? 10
                         : SystemHas(L"d3d9.dll")  ? 9
                                                   : -1;
    ASSERT_NE(expected, -1) << "no Direct3D library in " << testing::PrintToString(SystemFolder());
    EXPECT_EQ(Line(IDC_INFO_DIRECTX), std::to_wstring(expected));

    // Without the library (another folder) the line is empty, not an error.
    EXPECT_EQ(CDlgInfo::DirectXLine(SystemFolder() + L"\\"), L"");
    EXPECT_EQ(CDlgInfo::DirectXLine(L""), L"");
}

TEST_F(InfoPageTest, PressOnTheAddressMovesTheWindowThenOpensIt)
{
    Open(true);
    const RECT start = page->GetWindowRect();
    const RECT address = ChildRect(page->m_hWnd, IDC_INFO_ADDRESS);
    const POINT at{address.left + 5, address.top + 3};

    // The pointer goes down on the address, moves 60 pixels right and 40
    // down and comes up there: the window follows, then the address opens.
    POINT screen = at;
    ::ClientToScreen(page->m_hWnd, &screen);
    // The move starts from the position of the message being handled.
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(page->m_hWnd, WM_NULL, 0, 0);
    MSG pressed{};
    ::PeekMessageW(&pressed, page->m_hWnd, WM_NULL, WM_NULL, PM_REMOVE);
    ::SetCursorPos(screen.x + 60, screen.y + 40);
    ::PostMessageW(page->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 60, at.y + 40));
    ::PostMessageW(page->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x + 60, at.y + 40));
    page->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));

    ASSERT_EQ(opened, std::vector<std::wstring>{L"http://www.marvolin.com/"});
    MSG left{};
    EXPECT_FALSE(::PeekMessageW(&left, page->m_hWnd, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE))
        << "the address opened before the window move ended";
    const RECT end = page->GetWindowRect();
    EXPECT_EQ(end.left - start.left, 60) << "the window follows the pointer";
    EXPECT_EQ(end.top - start.top, 40);
    EXPECT_EQ(windowAtOpen.left, end.left) << "opened only once the move was over";
    EXPECT_EQ(windowAtOpen.top, end.top);
}

TEST_F(InfoPageTest, PressElsewhereOnlyMovesTheWindow)
{
    Open(true);
    const RECT address = ChildRect(page->m_hWnd, IDC_INFO_ADDRESS);
    EXPECT_TRUE(PressOnPage(page->m_hWnd, 300, 40));
    EXPECT_TRUE(PressOnPage(page->m_hWnd, address.right, address.top)); // right edge is outside
    EXPECT_TRUE(PressOnPage(page->m_hWnd, address.left, address.bottom));
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(PressOnPage(page->m_hWnd, address.right - 1, address.bottom - 1));
    EXPECT_EQ(opened.size(), 1u);
}

TEST(InfoPageOpener, OpensWhatItIsGivenAndReturnsAtOnce)
{
    // A script stands in for the address: "open" runs it, and it leaves a
    // mark that it ran.
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring script = std::wstring(temp) + L"zephrin-open-test.bat";
    const std::wstring mark = std::wstring(temp) + L"zephrin-open-test.mark";
    ::DeleteFileW(mark.c_str());
    {
        FILE* f = _wfopen(script.c_str(), L"w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "@echo opened> \"%ls\"\r\n", mark.c_str());
        std::fclose(f);
    }
    const DWORD started = ::GetTickCount();
    CDlgInfo::OpenInBrowser(script);
    EXPECT_LT(::GetTickCount() - started, 500u) << "the page waited for the opening";
    bool opened = false;
    // Up to 30 s: a Wine start of the script's interpreter can be slow on a
    // busy machine.
    for (int i = 0; i < 600 && !opened; ++i) {
        opened = ::GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!opened)
            ::Sleep(50);
    }
    EXPECT_TRUE(opened);
    ::DeleteFileW(mark.c_str());
    ::DeleteFileW(script.c_str());
}

TEST_F(InfoPageTest, LanguageChangesTheBackgroundButNotTheTexts)
{
    testsupport::SetText(kInfoKey, L"DriverVer", L"6.0.1.23");
    testsupport::SetText(kInfoKey, L"CPLVer", L"1.0.0.1");
    Open();
    std::vector<std::wstring> before;
    for (int id = IDC_INFO_OS; id <= IDC_INFO_ADDRESS; ++id)
        before.push_back(Line(id));
    EXPECT_EQ(page->GetBackgroundId(), 137u);

    testsupport::SetText(kInfoKey, L"DriverVer", L"9.9.9.9"); // read once, at start only
    const struct {
        LPARAM language;
        UINT background;
    } cases[] = {{2, 135}, {1, 136}, {0, 137}, {2, 135}, {5, 135}, {-1, 135}};
    for (const auto& c : cases) {
        EXPECT_EQ(page->SendMessage(WM_SET_LANGUAGE, 0, c.language), 0);
        EXPECT_EQ(page->GetBackgroundId(), c.background);
        std::vector<std::wstring> now;
        for (int id = IDC_INFO_OS; id <= IDC_INFO_ADDRESS; ++id)
            now.push_back(Line(id));
        EXPECT_EQ(now, before);
    }
}

} // namespace
