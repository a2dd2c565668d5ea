#include "PageHarness.h"

#include "ControlPlacement.h"
#include "Dialog.h"
#include "PanelMessages.h"
#include "SimCardControl.h"
#include "TestSupport.h"

#include <sstream>

namespace pagetests {

namespace {
const wchar_t kOwnerClass[] = L"ZephrinPageTestOwner";
} // namespace

OwnerWindow::OwnerWindow()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OwnerWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kOwnerClass;
    ::RegisterClassW(&wc); // fails harmlessly when already registered
    m_hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

OwnerWindow::~OwnerWindow()
{
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

LRESULT CALLBACK OwnerWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<OwnerWindow*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self && (msg == WM_MOVE_MAIN || msg == WM_SHOW_PAGE)) {
        self->m_requests.push_back({msg, wp, lp});
        return 1;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

std::vector<CardCall> CardJournal()
{
    std::vector<CardCall> calls;
    const int32_t count = SimCard_JournalCount();
    for (int32_t i = 0; i < count; ++i) {
        SimCardCall call{};
        if (!SimCard_JournalEntry(i, &call))
            break;
        CardCall c;
        c.op = call.op;
        c.args.assign(call.args, call.args + call.argCount);
        calls.push_back(std::move(c));
    }
    return calls;
}

std::vector<CardCall> CardJournalWithout(const std::string& op)
{
    std::vector<CardCall> calls;
    for (CardCall& c : CardJournal())
        if (c.op != op)
            calls.push_back(std::move(c));
    return calls;
}

std::string Describe(const std::vector<CardCall>& calls)
{
    std::ostringstream out;
    for (const CardCall& c : calls) {
        out << c.op << "(";
        for (size_t i = 0; i < c.args.size(); ++i)
            out << (i ? ", " : "") << c.args[i];
        out << ") ";
    }
    return out.str();
}

bool PressOnPage(HWND page, int x, int y)
{
    const LPARAM at = MAKELPARAM(x, y);
    ::PostMessageW(page, WM_LBUTTONUP, 0, at);
    ::SendMessageW(page, WM_LBUTTONDOWN, MK_LBUTTON, at);
    MSG left{};
    const bool releaseLeft = ::PeekMessageW(&left, page, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE) != FALSE;
    return !releaseLeft;
}

RECT ChildRect(HWND parent, int id)
{
    return ControlRectOnPage(parent, ::GetDlgItem(parent, id));
}

POINT ChildCentre(HWND parent, int id)
{
    RECT rc = ChildRect(parent, id);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void SendKeyThroughLoop(HWND target, UINT vk)
{
    MSG msg{};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1;
    // As the program's message loop does: the pre-filter first (which also
    // runs the dialog keyboard handling), then the window itself.
    if (CDialog::PreTranslateInput(&msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

} // namespace pagetests
