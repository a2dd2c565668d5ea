#include "HifiTestSupport.h"

#include "ControlPlacement.h"
#include "SimCardControl.h"

#include <commctrl.h>
#include <ostream>

namespace hifitest {

const std::wstring kRoot = L"Software\\Marvolin\\VANTIR";
const std::wstring kHifiKey = kRoot + L"\\Hifi";
const std::wstring kCustomKey = kRoot + L"\\Custom";

std::ostream& operator<<(std::ostream& os, const Call& call)
{
    os << call.op << "(";
    for (size_t i = 0; i < call.args.size(); ++i)
        os << (i ? ", " : "") << call.args[i];
    return os << ")";
}

std::vector<Call> Journal()
{
    std::vector<Call> calls;
    const int32_t count = SimCard_JournalCount();
    for (int32_t i = 0; i < count; ++i) {
        SimCardCall raw{};
        if (!SimCard_JournalEntry(i, &raw))
            continue;
        Call call{raw.op, {}};
        for (int32_t a = 0; a < raw.argCount && a < SIMCARD_MAX_ARGS; ++a)
            call.args.push_back(raw.args[a]);
        calls.push_back(call);
    }
    return calls;
}

Call GainCall(const hifi::GainArray& gains)
{
    return Call{"CMSUP_SetEQGain", std::vector<int32_t>(gains.begin(), gains.end())};
}

namespace {

// Counts the window moves the page starts (a caption press handed to the system).
LRESULT CALLBACK MoveCounter(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    if (msg == WM_NCLBUTTONDOWN && wp == HTCAPTION)
        ++*reinterpret_cast<int*>(ref);
    return ::DefSubclassProc(wnd, msg, wp, lp);
}

} // namespace

void HifiPageTest::SetUp()
{
    for (const wchar_t* sub : {L"\\CPL", L"\\Hifi", L"\\Digital", L"\\Info"})
        testsupport::CreateKey(kRoot + sub);
    testsupport::DeleteTree(kCustomKey);
    // Start from an empty page store.
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHifiKey.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (;;) {
            wchar_t name[256];
            DWORD len = 256;
            if (::RegEnumValueW(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            ::RegDeleteValueW(key, name);
        }
        ::RegCloseKey(key);
    }
    SetLanguage(2);
    SimCard_Reset();

    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HifiTestOwner";
    ::RegisterClassW(&wc);
    m_owner = ::CreateWindowExW(0, L"HifiTestOwner", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
}

void HifiPageTest::TearDown()
{
    m_page.reset();
    if (m_owner)
        ::DestroyWindow(m_owner);
    testsupport::PumpMessages();
}

void HifiPageTest::Set(const std::wstring& name, const std::wstring& value)
{
    testsupport::SetText(kHifiKey, name, value);
}

std::wstring HifiPageTest::Get(const std::wstring& name)
{
    std::wstring value;
    if (!testsupport::GetText(kHifiKey, name, &value))
        return L"<missing>";
    return value;
}

void HifiPageTest::SetLanguage(int language)
{
    testsupport::SetText(kRoot + L"\\CPL", L"language", std::to_wstring(language));
}

void HifiPageTest::SavePreset(const std::wstring& name, const hifi::GainArray& gains, int flag)
{
    for (int i = 0; i < model::kBandCount; ++i)
        testsupport::SetText(kCustomKey + L"\\" + name, L"eq_" + std::to_wstring(i),
                             std::to_wstring(gains[static_cast<size_t>(i)]));
    testsupport::SetText(kCustomKey + L"\\" + name, L"flag", std::to_wstring(flag));
}

void HifiPageTest::CreatePage(bool keepJournal)
{
    m_page = std::make_unique<CDlgHifi>();
    ASSERT_TRUE(m_page->Create(CDlgHifi::IDD, m_owner));
    ::SetWindowPos(m_page->m_hWnd, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_page->ShowWindow(SW_SHOWNOACTIVATE);
    ::SetWindowSubclass(m_page->m_hWnd, MoveCounter, 0x7E57, reinterpret_cast<DWORD_PTR>(&m_moves));
    testsupport::PumpMessages();
    if (!keepJournal)
        SimCard_JournalClear();
}

RECT HifiPageTest::Rect(UINT id) const
{
    return ControlRectOnPage(m_page->m_hWnd, ::GetDlgItem(m_page->m_hWnd, static_cast<int>(id)));
}

POINT HifiPageTest::Centre(UINT id) const
{
    RECT rc = Rect(id);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void HifiPageTest::Press(POINT pt)
{
    const int before = m_moves;
    ::SendMessageW(m_page->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ::PostMessageW(m_page->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    testsupport::PumpMessages();
    EXPECT_EQ(m_moves, before) << "the press at " << pt.x << "," << pt.y << " moved the window";
}

int HifiPageTest::PressCountingMoves(POINT pt)
{
    const int before = m_moves;
    ::PostMessageW(m_page->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ::PostMessageW(m_page->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    testsupport::PumpMessages();
    return m_moves - before;
}

void HifiPageTest::Command(UINT id, UINT code)
{
    ::SendMessageW(m_page->m_hWnd, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_page->m_hWnd, static_cast<int>(id))));
    testsupport::PumpMessages();
}

bool HifiPageTest::State(UINT id) const
{
    const CMyStaticBmp* picture = m_page->Picture(id);
    EXPECT_NE(picture, nullptr) << id;
    return picture && picture->GetState();
}

void HifiPageTest::DragBand(int band, int y)
{
    HWND slider = ::GetDlgItem(m_page->m_hWnd, IDC_HIFI_BAND_0 + band);
    ::SendMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, y));
    ::SendMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM(4, y));
    testsupport::PumpMessages();
}

namespace {

// The page shows its warnings with a modal message box on this same thread:
// a thread hook sees the box the moment it is activated, reads it and
// answers it. When the action returns, the box has either been seen or was
// never shown, so no waiting and no polling is needed.
struct BoxWatch {
    HWND owner = nullptr;
    BoxSeen* seen = nullptr;
};
thread_local BoxWatch t_boxWatch;

LRESULT CALLBACK OnBoxActivation(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && t_boxWatch.seen && !t_boxWatch.seen->shown) {
        HWND box = reinterpret_cast<HWND>(wp);
        wchar_t cls[16] = {};
        ::GetClassNameW(box, cls, 16);
        if (::lstrcmpW(cls, L"#32770") == 0 && ::GetWindow(box, GW_OWNER) == t_boxWatch.owner) {
            BoxSeen& seen = *t_boxWatch.seen;
            wchar_t text[512] = {};
            ::GetWindowTextW(box, text, 512);
            seen.caption = text;
            for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                wchar_t childClass[32] = {};
                ::GetClassNameW(child, childClass, 32);
                wchar_t body[512] = {};
                ::GetWindowTextW(child, body, 512);
                if (::lstrcmpiW(childClass, L"Static") == 0 && body[0])
                    seen.text = body;
            }
            seen.shown = true;
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

} // namespace

BoxSeen HifiPageTest::WatchForBox(const std::function<void()>& action)
{
    BoxSeen seen;
    t_boxWatch = BoxWatch{m_page->m_hWnd, &seen};
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, OnBoxActivation, nullptr, ::GetCurrentThreadId());
    EXPECT_NE(hook, nullptr);
    action();
    if (hook)
        ::UnhookWindowsHookEx(hook);
    t_boxWatch = BoxWatch{};
    testsupport::PumpMessages();
    return seen;
}

std::vector<std::wstring> HifiPageTest::ListEntries() const
{
    std::vector<std::wstring> entries;
    const CMyComboBox& list = m_page->PresetList();
    for (int i = 0; i < list.GetCount(); ++i)
        entries.push_back(list.GetLBText(i));
    return entries;
}

} // namespace hifitest
