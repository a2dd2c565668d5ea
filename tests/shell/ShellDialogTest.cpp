// The main dialog with its four pages, created modelessly in this process of
// the prepared prefix: the page switch and its screen position, the lit page
// button, the tray clicks and menu, the language of every page, and the tray
// icon across a notification-area restart and the system close command.
#include "DisplayScale.h"
#include "PageColumnIds.h"
#include "ResourceBitmap.h"
#include "TestSupport.h"
#include "ZephrinDlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

const wchar_t kCpl[] = L"Software\\Marvolin\\VANTIR\\CPL";
constexpr int kPageCount = 5;
static_assert(kPageCount == model::kPageCount);
constexpr UINT kLit[kPageCount] = {IDB_PAGE_MAIN_LIT, IDB_PAGE_HIFI_LIT, IDB_PAGE_DIGITAL_LIT, IDB_PAGE_INFO_LIT,
                                   IDB_PAGE_HP_LIT};
constexpr UINT kGrey[kPageCount] = {IDB_PAGE_MAIN_GREY, IDB_PAGE_HIFI_GREY, IDB_PAGE_DIGITAL_GREY,
                                    IDB_PAGE_INFO_GREY, IDB_PAGE_HP_GREY};
constexpr UINT kBackgrounds[3][kPageCount] = {
    {IDB_MAIN_BG_TC, IDB_HIFI_BG_TC, IDB_DIGITAL_BG_TC, IDB_INFO_BG_TC, IDB_HP_BG_TC},
    {IDB_MAIN_BG_SC, IDB_HIFI_BG_SC, IDB_DIGITAL_BG_SC, IDB_INFO_BG_SC, IDB_HP_BG_SC},
    {IDB_MAIN_BG_EN, IDB_HIFI_BG_EN, IDB_DIGITAL_BG_EN, IDB_INFO_BG_EN, IDB_HP_BG_EN},
};

// Counts how often a window of this thread is about to be shown (a
// WM_SHOWWINDOW that shows it) while the counter lives.
class ShowCounter {
public:
    explicit ShowCounter(HWND wnd) : m_hook(::SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId()))
    {
        s_wnd = wnd;
        s_count = 0;
    }
    ~ShowCounter()
    {
        ::UnhookWindowsHookEx(m_hook);
        s_wnd = nullptr;
    }
    ShowCounter(const ShowCounter&) = delete;
    ShowCounter& operator=(const ShowCounter&) = delete;
    bool Hooked() const { return m_hook != nullptr; }
    int Count() const { return s_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION && sent->hwnd == s_wnd && sent->message == WM_SHOWWINDOW && sent->wParam)
            ++s_count;
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline HWND s_wnd = nullptr;
    static inline int s_count = 0;
    HHOOK m_hook;
};

// Counts, on this thread, the background erases of one window and the
// notices that the program loses the activation.
class SwitchCounter {
public:
    explicit SwitchCounter(HWND wnd) : m_hook(::SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId()))
    {
        s_wnd = wnd;
        s_erases = 0;
        s_deactivations = 0;
    }
    ~SwitchCounter() { ::UnhookWindowsHookEx(m_hook); }
    SwitchCounter(const SwitchCounter&) = delete;
    SwitchCounter& operator=(const SwitchCounter&) = delete;
    bool Hooked() const { return m_hook != nullptr; }
    int Erases() const { return s_erases; }
    int Deactivations() const { return s_deactivations; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION) {
            if (sent->hwnd == s_wnd && sent->message == WM_ERASEBKGND)
                ++s_erases;
            if (sent->message == WM_ACTIVATEAPP && !sent->wParam)
                ++s_deactivations;
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline HWND s_wnd = nullptr;
    static inline int s_erases = 0;
    static inline int s_deactivations = 0;
    HHOOK m_hook;
};

std::vector<uint32_t> Pixels(HDC dc, HBITMAP bitmap, int w, int h)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

// What a page-column button draws in its normal state, through the owner
// draw its page reflects to it.
std::vector<uint32_t> DrawnButton(HWND page, UINT id)
{
    HWND button = ::GetDlgItem(page, static_cast<int>(id));
    RECT rc{};
    ::GetClientRect(button, &rc);
    HDC screen = ::GetDC(nullptr);
    fw::UniqueBitmap target(::CreateCompatibleBitmap(screen, rc.right, rc.bottom));
    ::ReleaseDC(nullptr, screen);
    fw::UniqueMemDC mem(::CreateCompatibleDC(nullptr));
    {
        fw::ScopedSelect select(mem.get(), target.get());
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.hwndItem = button;
        dis.hDC = mem.get();
        dis.rcItem = rc;
        ::SendMessageW(page, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&dis));
    }
    return Pixels(mem.get(), target.get(), rc.right, rc.bottom);
}

std::vector<uint32_t> ResourcePixels(UINT id)
{
    fw::UniqueBitmap bitmap(LoadSkinBitmap(id));
    BITMAP bm{};
    ::GetObjectW(bitmap.get(), sizeof bm, &bm);
    fw::UniqueMemDC mem(::CreateCompatibleDC(nullptr));
    return Pixels(mem.get(), bitmap.get(), bm.bmWidth, bm.bmHeight);
}

// Icons in Wine's notification area are child windows of its tray window.
int TrayIconCount()
{
    HWND tray = ::FindWindowW(nullptr, L"Wine System Tray");
    int count = 0;
    if (tray) {
        ::EnumChildWindows(
            tray,
            [](HWND wnd, LPARAM lp) -> BOOL {
                if (::IsWindowVisible(wnd))
                    ++*reinterpret_cast<int*>(lp);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

class Shell : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_registry = new testsupport::RegistrySnapshot(L"Software\\Marvolin\\VANTIR"); }
    static void TearDownTestSuite()
    {
        delete s_registry;
        s_registry = nullptr;
    }

    void Start(const wchar_t* language = L"0")
    {
        testsupport::SetText(kCpl, L"language", language);
        m_dlg = std::make_unique<CZephrinDlg>(m_startHiddenRequests);
        ASSERT_TRUE(m_dlg->Create(CZephrinDlg::IDD, nullptr));
        m_dlg->ShowWindow(SW_HIDE);
        PumpMessages(50ms);
    }
    void TearDown() override
    {
        m_dlg.reset();
        PumpMessages(20ms);
    }

    // Pages by number, as the page column's tables count them.
    CSkinnedPage* Window(int page) { return m_dlg->GetPageWindow(model::kPages[static_cast<size_t>(page)]); }
    HWND Page(int page) { return Window(page)->m_hWnd; }
    int Current() { return model::Number(m_dlg->GetCurrentPage()); }
    static UINT ColumnButton(int page, int target)
    {
        return PageColumnId(model::kPages[static_cast<size_t>(page)], model::kPages[static_cast<size_t>(target)]);
    }
    // Numbers of the visible pages.
    std::vector<int> Visible()
    {
        std::vector<int> shown;
        for (int p = 0; p < kPageCount; ++p) {
            if (::IsWindowVisible(Page(p)))
                shown.push_back(p);
        }
        return shown;
    }
    POINT TopLeft(int page)
    {
        RECT rc{};
        ::GetWindowRect(Page(page), &rc);
        return {rc.left, rc.top};
    }
    SIZE Size(int page)
    {
        RECT rc{};
        ::GetWindowRect(Page(page), &rc);
        return {rc.right - rc.left, rc.bottom - rc.top};
    }
    // The close button of a page's column.
    static UINT Close(int page) { return kPageColumnIds[page][kColumnClose]; }
    void Press(int page, UINT id)
    {
        HWND button = ::GetDlgItem(Page(page), static_cast<int>(id));
        ASSERT_NE(button, nullptr) << "page " << page << " control " << id;
        // What a click on the button delivers to its page.
        ::SendMessageW(Page(page), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        PumpMessages(20ms);
    }
    LRESULT Tray(WPARAM icon, UINT mouse)
    {
        LRESULT r = m_dlg->SendMessage(WM_TRAY_NOTIFY, icon, mouse);
        PumpMessages(20ms);
        return r;
    }
    void ExpectLitColumn(int page)
    {
        for (int target = 0; target < kPageCount; ++target) {
            const UINT expected = target == page ? kLit[target] : kGrey[target];
            EXPECT_EQ(DrawnButton(Page(page), ColumnButton(page, target)), ResourcePixels(expected))
                << "page " << page << ": button for page " << target << " not " << (target == page ? "lit" : "grey");
        }
    }

    std::unique_ptr<CZephrinDlg> m_dlg;
    int m_startHiddenRequests = 0; // shown at once, not hidden in the tray
    static testsupport::RegistrySnapshot* s_registry;
};
testsupport::RegistrySnapshot* Shell::s_registry = nullptr;

TEST_F(Shell, PageColumnSwitchesAtOneScreenPositionWithTheLitButtonNamingThePage)
{
    Start();
    ASSERT_NE(DrawnButton(Page(0), ColumnButton(0, 0)), DrawnButton(Page(0), ColumnButton(0, 1)))
        << "lit and grey art look the same";
    for (int p = 0; p < kPageCount; ++p)
        ExpectLitColumn(p);

    EXPECT_EQ(m_dlg->SendMessage(WM_MOVE_MAIN, 100, 50), 1);
    EXPECT_EQ(Visible(), std::vector<int>{0});
    Press(0, ColumnButton(0, 1));
    EXPECT_EQ(Visible(), std::vector<int>{1});
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(TopLeft(1).x, 100);
    EXPECT_EQ(TopLeft(1).y, 50);
    EXPECT_EQ(Size(1).cy, 546);

    // The user drags the Hifi page elsewhere; Info opens there, then Main.
    ::SetWindowPos(Page(1), nullptr, 310, 220, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    {
        // From one page to another the main page is not shown in between.
        ShowCounter mainShown(Page(0));
        ASSERT_TRUE(mainShown.Hooked());
        Press(1, ColumnButton(1, 3));
        EXPECT_EQ(mainShown.Count(), 0);
    }
    EXPECT_EQ(Visible(), std::vector<int>{3});
    EXPECT_EQ(Current(), 3);
    EXPECT_EQ(TopLeft(3).x, 310);
    EXPECT_EQ(TopLeft(3).y, 220);
    {
        ShowCounter mainShown(Page(0));
        Press(3, ColumnButton(3, 0));
        EXPECT_EQ(mainShown.Count(), 1);
    }
    EXPECT_EQ(Visible(), std::vector<int>{0});
    EXPECT_EQ(Current(), 0);
    EXPECT_EQ(TopLeft(0).x, 310);
    EXPECT_EQ(TopLeft(0).y, 220);
    EXPECT_EQ(Size(0).cx, 800);
    EXPECT_EQ(Size(0).cy, 313);

    // Hp takes the main dialog's place and size; its own button does nothing.
    Press(0, ColumnButton(0, 4));
    EXPECT_EQ(Visible(), std::vector<int>{4});
    EXPECT_EQ(TopLeft(4).x, 310);
    EXPECT_EQ(Size(4).cx, 800);
    EXPECT_EQ(Size(4).cy, 313);
    Press(4, ColumnButton(4, 4));
    EXPECT_EQ(Visible(), std::vector<int>{4});
    Press(4, ColumnButton(4, 2));
    EXPECT_EQ(Visible(), std::vector<int>{2});
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(TopLeft(2).y, 220);

    // A page's close button only hides it: the current page stays.
    Press(2, Close(2));
    EXPECT_TRUE(Visible().empty());
    EXPECT_EQ(Current(), 2);
    // Main's close hides it and makes Main current.
    m_dlg->SendMessage(WM_SHOW_PAGE, 0, 0);
    Press(0, Close(0));
    EXPECT_TRUE(Visible().empty());
    EXPECT_EQ(Current(), 0);
}

// Every button of every page's column, on the real main dialog and its four
// pages: a button for another page shows that page alone, where the last one
// was and at its own size, and makes it current; a page's own button changes
// nothing; close hides the page and keeps it current.
TEST_F(Shell, EveryColumnButtonOfEveryPageShowsItsPageInTheSamePlace)
{
    Start();
    const int heights[kPageCount] = {313, 546, 313, 313, 313};
    for (int from = 0; from < kPageCount; ++from) {
        for (int target = -1; target < kPageCount; ++target) { // -1: the close button
            SCOPED_TRACE(::testing::Message() << "page " << from << ", button for page " << target);
            // A place of its own for each press: the next page must follow it.
            const POINT place{40 + 31 * from + 7 * target, 30 + 11 * target};
            for (int p = 0; p < kPageCount; ++p)
                ::ShowWindow(Page(p), SW_HIDE);
            ASSERT_EQ(m_dlg->SendMessage(WM_SHOW_PAGE, 0, from), 1);
            ::SetWindowPos(Page(from), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_EQ(Visible(), std::vector<int>{from});

            Press(from, target < 0 ? Close(from) : ColumnButton(from, target));
            if (target < 0) {
                EXPECT_TRUE(Visible().empty());
                EXPECT_EQ(Current(), from);
                continue;
            }
            EXPECT_EQ(Visible(), std::vector<int>{target});
            EXPECT_EQ(Current(), target);
            EXPECT_EQ(TopLeft(target).x, place.x);
            EXPECT_EQ(TopLeft(target).y, place.y);
            EXPECT_EQ(Size(target).cx, 800);
            EXPECT_EQ(Size(target).cy, heights[target]);
        }
    }
}

// A switch is one change on the screen: the page that goes does not hand
// the activation to another program on its way out (the panel is not
// deactivated and activated again), the page that comes is active and its
// background is painted once; the close button still hands the activation on.
TEST_F(Shell, ASwitchKeepsTheActivationInThePanelAndPaintsTheNewPageOnce)
{
    Start();
    ASSERT_EQ(m_dlg->SendMessage(WM_SHOW_PAGE, 0, 0), 1);
    ::SetActiveWindow(Page(0));
    PumpMessages(20ms);
    ASSERT_EQ(::GetActiveWindow(), Page(0));
    // Main to a page, a page to a page, a page to the Hp page, and back to Main.
    const int route[][2] = {{0, 1}, {1, 2}, {2, 4}, {4, 3}, {3, 0}};
    for (const auto& step : route) {
        const int from = step[0], to = step[1];
        SCOPED_TRACE(::testing::Message() << "from page " << from << " to page " << to);
        SwitchCounter counter(Page(to));
        ASSERT_TRUE(counter.Hooked());
        Press(from, ColumnButton(from, to));
        PumpMessages(50ms);
        EXPECT_EQ(Visible(), std::vector<int>{to});
        EXPECT_EQ(::GetActiveWindow(), Page(to));
        EXPECT_EQ(counter.Deactivations(), 0);
        EXPECT_EQ(counter.Erases(), 1);
    }
    // Closing the panel is not a switch: the activation leaves it.
    SwitchCounter counter(Page(0));
    Press(0, Close(0));
    EXPECT_TRUE(Visible().empty());
    EXPECT_NE(::GetActiveWindow(), Page(0));
}

TEST_F(Shell, ShowPageAndMoveMainMessages)
{
    Start();
    EXPECT_EQ(m_dlg->SendMessage(WM_SHOW_PAGE, 1, 3), 1);
    EXPECT_EQ(Visible(), std::vector<int>{3});
    for (LPARAM bad : {5, -1, 100}) {
        EXPECT_EQ(m_dlg->SendMessage(WM_SHOW_PAGE, 1, bad), 0);
        EXPECT_EQ(Visible(), std::vector<int>{3});
        EXPECT_EQ(Current(), 3);
    }
    // Moving the hidden main dialog shows it there, its size kept.
    EXPECT_EQ(m_dlg->SendMessage(WM_MOVE_MAIN, static_cast<WPARAM>(-20), 333), 1);
    EXPECT_TRUE(::IsWindowVisible(Page(0)));
    EXPECT_EQ(TopLeft(0).x, -20);
    EXPECT_EQ(TopLeft(0).y, 333);
    EXPECT_EQ(Size(0).cx, 800);
    EXPECT_EQ(m_dlg->SendMessage(WM_SHOW_PAGE, 5, 0), 1);
    EXPECT_EQ(Current(), 0);
}

TEST_F(Shell, HiddenPagesBuildTheirSkinsOnceStartedWithoutBeingShown)
{
    Start();
    // While the panel sits in the tray, every hidden page gets the skin it
    // will show, still hidden, at the size of its picture.
    auto pending = [this] {
        int n = 0;
        for (int page = 0; page <= 4; ++page)
            n += Window(page)->SkinPending() ? 1 : 0;
        return n;
    };
    EXPECT_TRUE(PumpUntil([&] { return pending() == 0; })) << pending() << " pages still wait for their skin";
    EXPECT_TRUE(Visible().empty());
    for (int page = 0; page <= 4; ++page) {
        SCOPED_TRACE(page);
        CSkinnedPage* window = Window(page);
        RECT rc{};
        ::GetWindowRect(window->m_hWnd, &rc);
        EXPECT_EQ(rc.right - rc.left, window->GetSkinWidth());
        EXPECT_EQ(rc.bottom - rc.top, window->GetSkinHeight());
        EXPECT_NE(window->GetOffscreenDC(), nullptr);
    }
}

TEST_F(Shell, TrayClicksToggleTheCurrentPageByTheTrayFlag)
{
    // Start-up may leave a non-client paint request to be answered by hiding;
    // the user's first click must still bring the panel up.
    m_startHiddenRequests = 1;
    Start();
    EXPECT_FALSE(m_dlg->IsTrayShown());
    EXPECT_EQ(Tray(IDR_MAINFRAME, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Visible(), std::vector<int>{0});
    EXPECT_TRUE(m_dlg->IsTrayShown());
    Tray(IDR_MAINFRAME, WM_LBUTTONDOWN);
    EXPECT_TRUE(Visible().empty());
    EXPECT_FALSE(m_dlg->IsTrayShown());

    // Shown, then closed by its own button: the next click only clears the
    // flag, the one after shows the page again.
    Tray(IDR_MAINFRAME, WM_LBUTTONDOWN);
    Press(0, Close(0));
    EXPECT_TRUE(Visible().empty());
    Tray(IDR_MAINFRAME, WM_LBUTTONDOWN);
    EXPECT_TRUE(Visible().empty());
    EXPECT_FALSE(m_dlg->IsTrayShown());
    Tray(IDR_MAINFRAME, WM_LBUTTONDOWN);
    EXPECT_EQ(Visible(), std::vector<int>{0});

    // On Info, a click hides Info and the next shows Info again.
    Press(0, ColumnButton(0, 3));
    Tray(IDR_MAINFRAME, WM_LBUTTONDOWN);
    EXPECT_TRUE(Visible().empty());
    Tray(IDR_MAINFRAME, WM_LBUTTONDOWN);
    EXPECT_EQ(Visible(), std::vector<int>{3});

    // Other icons and other mouse messages change nothing.
    EXPECT_EQ(Tray(127, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Tray(IDR_MAINFRAME, WM_LBUTTONUP), 1);
    EXPECT_EQ(Tray(IDR_MAINFRAME, WM_MOUSEMOVE), 1);
    EXPECT_EQ(Visible(), std::vector<int>{3});
    EXPECT_TRUE(m_dlg->IsTrayShown());

    // "Marvolin Control Panel" shows the current page and leaves the flag.
    Press(3, Close(3));
    m_dlg->SendMessage(WM_COMMAND, ID_SHOW_PANEL, 0);
    EXPECT_EQ(Visible(), std::vector<int>{3});
    EXPECT_TRUE(m_dlg->IsTrayShown());
}

TEST_F(Shell, LanguageReskinsEveryPageAtOnceAndIsStored)
{
    Start(L"0");
    std::wstring stored;
    ASSERT_TRUE(testsupport::GetText(kCpl, L"language", &stored));
    EXPECT_EQ(stored, L"0");
    const UINT commands[3] = {ID_LANG_TRADITIONAL, ID_LANG_SIMPLIFIED, ID_LANG_ENGLISH};
    for (int language : {2, 1, 0, 2}) {
        m_dlg->SendMessage(WM_COMMAND, commands[language], 0);
        for (int p = 0; p < kPageCount; ++p)
            EXPECT_EQ(Window(p)->GetBackgroundId(), kBackgrounds[language][p])
                << "page " << p << " language " << language;
        ASSERT_TRUE(testsupport::GetText(kCpl, L"language", &stored));
        EXPECT_EQ(stored, std::to_wstring(language));
        EXPECT_EQ(Size(0).cy, 313);
        EXPECT_EQ(Size(1).cy, 546);
        EXPECT_TRUE(Visible().empty()) << "a language change showed a page";
    }

    // Language 3 changes nothing and writes nothing.
    testsupport::SetText(kCpl, L"language", L"1");
    EXPECT_EQ(m_dlg->SendMessage(WM_SET_LANGUAGE, 0, 3), 0);
    for (int p = 0; p < kPageCount; ++p)
        EXPECT_EQ(Window(p)->GetBackgroundId(), kBackgrounds[2][p]) << "page " << p;
    ASSERT_TRUE(testsupport::GetText(kCpl, L"language", &stored));
    EXPECT_EQ(stored, L"1");
}

TEST_F(Shell, RestartComesUpInTheStoredLanguage)
{
    Start(L"0");
    m_dlg->SendMessage(WM_COMMAND, ID_LANG_ENGLISH, 0);
    m_dlg.reset();
    PumpMessages(50ms);

    std::wstring stored;
    ASSERT_TRUE(testsupport::GetText(kCpl, L"language", &stored));
    ASSERT_EQ(stored, L"2");
    m_dlg = std::make_unique<CZephrinDlg>(0);
    ASSERT_TRUE(m_dlg->Create(CZephrinDlg::IDD, nullptr));
    for (int p = 0; p < kPageCount; ++p)
        EXPECT_EQ(Window(p)->GetBackgroundId(), kBackgrounds[2][p]) << "page " << p;
    m_dlg.reset();

    // A stored number outside 0..2 keeps the bitmaps of initialisation and
    // is not overwritten.
    Start(L"7");
    const UINT initial[kPageCount] = {IDB_MAIN_BG_TC, IDB_HIFI_BG_TC, IDB_DIGITAL_BG_TC, IDB_INFO_BG_TC,
                                      IDB_HP_BG_SC};
    for (int p = 0; p < kPageCount; ++p)
        EXPECT_EQ(Window(p)->GetBackgroundId(), initial[p]) << "page " << p;
    ASSERT_TRUE(testsupport::GetText(kCpl, L"language", &stored));
    EXPECT_EQ(stored, L"7");
}

TEST_F(Shell, TrayIconComesBackAfterTheTrayRestartsAndGoesWithTheSystemClose)
{
    const int before = TrayIconCount();
    Start();
    ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));

    // The notification area lost the icon (as after its restart) and says so.
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = m_dlg->m_hWnd;
    record.uID = IDR_MAINFRAME;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &record));
    ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before; }, 5s));
    m_dlg->SendMessage(TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));
    // A broadcast while the icon is there leaves one icon. The dialog adds
    // its icon while it handles the broadcast, and the notification area has
    // shown an added icon by the time it answers: a second one would be there.
    m_dlg->SendMessage(TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(TrayIconCount(), before + 1);

    // The system close command ends the dialog and takes the icon along.
    m_dlg->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([&] { return m_dlg->IsEnded(); }, 5s));
    EXPECT_EQ(m_dlg->GetResult(), IDCANCEL);
    EXPECT_TRUE(PumpUntil([&] { return TrayIconCount() == before; }, 8s));
    // Ended: a later tray restart does not bring the icon back.
    m_dlg->SendMessage(TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(TrayIconCount(), before);
}

// Width of an icon's picture; 0 for none.
int IconWidth(HICON icon)
{
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return 0;
    fw::UniqueBitmap color(info.hbmColor);
    fw::UniqueBitmap mask(info.hbmMask);
    BITMAP bm{};
    ::GetObjectW(color ? color.get() : mask.get(), sizeof bm, &bm);
    return bm.bmWidth;
}

// WM_DPICHANGED as the system sends it after a move to a monitor of `dpi`:
// the new DPI in both words, the suggested rectangle in lParam.
void SendDpiChanged(HWND page, UINT dpi, RECT suggested)
{
    ::SendMessageW(page, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages(20ms);
}

TEST_F(Shell, AMoveToAnotherScaleReskinsTheShownPageWhereItIsAndTheOthersWhenShown)
{
    const int before = TrayIconCount();
    Start();
    ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));
    SIZE at96[kPageCount];
    for (int p = 0; p < kPageCount; ++p)
        at96[p] = {Window(p)->GetSkinWidth(), Window(p)->GetSkinHeight()};
    auto expectAt = [&](int page, UINT dpi) {
        SCOPED_TRACE(testing::Message() << "page " << page << " at " << dpi);
        EXPECT_EQ(Window(page)->GetDpi(), dpi);
        EXPECT_EQ(Size(page).cx, ScaleFigure(at96[page].cx, dpi));
        EXPECT_EQ(Size(page).cy, ScaleFigure(at96[page].cy, dpi));
        EXPECT_EQ(TopLeft(page).x, 100);
        EXPECT_EQ(TopLeft(page).y, 50);
    };
    EXPECT_EQ(IconWidth(m_dlg->TrayIcon().GetIcon()), ::GetSystemMetrics(SM_CXICON));

    // The shown Main page to 200 %: the system suggests a rectangle
    // elsewhere; the page keeps its corner and takes its pictures' size.
    m_dlg->SendMessage(WM_MOVE_MAIN, 100, 50);
    // Hifi was seen at 100 % before.
    Press(0, ColumnButton(0, 1));
    Press(1, ColumnButton(1, 0));
    SendDpiChanged(Page(0), 192, RECT{60, 40, 60 + 1600, 40 + 626});
    expectAt(0, 192);
    EXPECT_EQ(IconWidth(m_dlg->TrayIcon().GetIcon()), SmallIconSize(192));
    EXPECT_EQ(TrayIconCount(), before + 1) << "the icon was added beside the old one";
    // Hidden pages wait until they are shown.
    EXPECT_EQ(Window(1)->GetDpi(), kBaseDpi);
    EXPECT_TRUE(Window(1)->DpiPending());
    EXPECT_EQ(Size(1).cx, at96[1].cx);
    const CBitmapSlider& band = m_dlg->HifiPage().BandSlider(4);
    const int channel96 = band.GetChannelWidth();
    const int thumb96 = band.GetThumbWidth();
    const int knobRadius = m_dlg->HifiPage().TrebleKnob().GetRadius();
    RECT bandClient96{};
    ::GetClientRect(band.m_hWnd, &bandClient96);
    Press(0, ColumnButton(0, 1));
    EXPECT_EQ(Visible(), std::vector<int>{1});
    expectAt(1, 192);
    // The page's controls come with it: an equalizer band's pictures too.
    EXPECT_EQ(band.GetDpi(), 192u);
    EXPECT_EQ(band.GetChannelWidth(), ScaleFigure(channel96, 192));
    EXPECT_EQ(band.GetThumbWidth(), ScaleFigure(thumb96, 192));
    // It paints the whole of its new slot, not the old one.
    EXPECT_EQ(band.GetPaintArea().right, ScaleFigure(bandClient96.right, 192));
    EXPECT_EQ(band.GetPaintArea().bottom, ScaleFigure(bandClient96.bottom, 192));
    // A knob keeps the dial it had (it is worked out at 96 DPI).
    EXPECT_EQ(m_dlg->HifiPage().TrebleKnob().GetRadius(), knobRadius);

    // A hidden page moved on its own takes its scale when shown; nothing
    // else changes.
    SendDpiChanged(Page(2), 144, RECT{100, 50, 100 + 1200, 50 + 470});
    EXPECT_EQ(Window(1)->GetDpi(), 192u);
    EXPECT_EQ(IconWidth(m_dlg->TrayIcon().GetIcon()), SmallIconSize(192));
    Press(1, ColumnButton(1, 2));
    expectAt(2, 144);

    // Back to 100 %: every page at its own size again, the tray showing the
    // window's icon as it always did at 100 %, after a restart too.
    SendDpiChanged(Page(2), 96, RECT{100, 50, 900, 363});
    expectAt(2, kBaseDpi);
    for (int p : {0, 1, 3, 4}) {
        Press(2, ColumnButton(2, p));
        expectAt(p, kBaseDpi);
        Press(p, ColumnButton(p, 2));
    }
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = m_dlg->m_hWnd;
    record.uID = IDR_MAINFRAME;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &record));
    ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before; }, 5s));
    m_dlg->SendMessage(TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));
    EXPECT_EQ(IconWidth(m_dlg->TrayIcon().GetIcon()), ::GetSystemMetrics(SM_CXICON));
}

TEST_F(Shell, AStartHiddenRequestHidesTheDialogOnceAndAPageAskedForEndsThem)
{
    // One request left: the next non-client paint of the shown dialog (its
    // own on show, or this one) hides it, the one after does not.
    m_startHiddenRequests = 1;
    Start();
    m_dlg->ShowWindow(SW_SHOWNOACTIVATE);
    m_dlg->SendMessage(WM_NCPAINT, 1, 0);
    EXPECT_FALSE(::IsWindowVisible(Page(0)));
    m_dlg->ShowWindow(SW_SHOWNOACTIVATE);
    m_dlg->SendMessage(WM_NCPAINT, 1, 0);
    EXPECT_TRUE(::IsWindowVisible(Page(0)));
    m_dlg.reset();

    // The next dialog has requests of its own; asking for a page ends them.
    Start();
    m_dlg.reset();
    m_startHiddenRequests = 2;
    Start();
    EXPECT_EQ(m_dlg->SendMessage(WM_SHOW_PAGE, 0, 0), 1);
    m_dlg->SendMessage(WM_NCPAINT, 1, 0);
    EXPECT_TRUE(::IsWindowVisible(Page(0)));
}

TEST_F(Shell, ExitRemovesTheIconBeforeEnding)
{
    const int before = TrayIconCount();
    Start();
    ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));
    m_dlg->SendMessage(WM_COMMAND, ID_EXIT, 0);
    EXPECT_TRUE(m_dlg->IsEnded());
    EXPECT_EQ(m_dlg->GetResult(), IDOK);
    EXPECT_TRUE(PumpUntil([&] { return TrayIconCount() == before; }, 8s));
}

// The icon object on a window of its own: in the area from Add on, back after
// the area forgot it while it is wanted, and gone with the object.
TEST(TrayIconObject, TheIconComesBackOnlyWhileWantedAndGoesWithTheObject)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    HICON picture = ::LoadIconW(nullptr, IDI_APPLICATION);
    const UINT id = 41;
    const int before = TrayIconCount();
    {
        CTrayIcon icon;
        icon.Restore(); // never added: nothing to bring back
        EXPECT_FALSE(icon.IsAdded());
        EXPECT_EQ(TrayIconCount(), before);

        ASSERT_TRUE(icon.Add(owner, id, WM_APP + 1, picture, L"Zephrin test"));
        ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof record;
        record.hWnd = owner;
        record.uID = id;
        ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &record)); // the area forgets it
        ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before; }, 5s));
        icon.Restore();
        EXPECT_TRUE(icon.IsAdded());
        EXPECT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));

        icon.Remove();
        EXPECT_TRUE(PumpUntil([&] { return TrayIconCount() == before; }, 8s));
        icon.Restore(); // taken out for good
        EXPECT_FALSE(icon.IsAdded());
        EXPECT_EQ(TrayIconCount(), before);

        ASSERT_TRUE(icon.Add(owner, id, WM_APP + 1, picture, L"Zephrin test"));
        ASSERT_TRUE(PumpUntil([&] { return TrayIconCount() == before + 1; }, 5s));
    }
    // The owner window is still there: only the object's end took the icon.
    EXPECT_TRUE(PumpUntil([&] { return TrayIconCount() == before; }, 8s));
    ::DestroyWindow(owner);
}

} // namespace
