#include "ControlHost.h"

#include "Handles.h"
#include "PanelMessages.h"
#include "TestSupport.h"

#include <commctrl.h>
#include <utility>

namespace {
const wchar_t kHostClass[] = L"ZephrinControlHost";

void RegisterHostClass()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    ::RegisterClassW(&wc);
    done = true;
}
} // namespace

// Top-level windows are kept for the next test: under Wine without a window
// manager each destroyed top-level window costs a two-second wait.
static HWND g_spare = nullptr;

ControlHost::ControlHost(int x, int y, int w, int h, COLORREF background) : m_background(background)
{
    RegisterHostClass();
    HWND wnd = std::exchange(g_spare, nullptr);
    if (wnd && ::IsWindow(wnd)) {
        ::SetWindowPos(wnd, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    } else {
        wnd = ::CreateWindowExW(WS_EX_TOPMOST, kHostClass, L"controls under test", WS_POPUP | WS_VISIBLE, x, y, w,
                                h, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    SubclassWindow(wnd);
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

ControlHost::~ControlHost()
{
    HWND wnd = m_hWnd;
    if (!wnd)
        return;
    while (HWND child = ::GetWindow(wnd, GW_CHILD))
        ::DestroyWindow(child);
    if (::GetCapture())
        ::ReleaseCapture();
    UnsubclassWindow();
    testsupport::PumpMessages();
    if (g_spare)
        ::DestroyWindow(wnd);
    else
        g_spare = wnd;
}

HWND ControlHost::AddChild(const wchar_t* cls, int id, DWORD style, int x, int y, int w, int h, const wchar_t* text)
{
    return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

std::vector<RecordedMessage> ControlHost::Take()
{
    testsupport::PumpMessages();
    std::vector<RecordedMessage> out;
    out.swap(m_log);
    return out;
}

LRESULT ControlHost::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc = GetClientRect();
        fw::UniqueBrush brush(::CreateSolidBrush(m_background));
        ::FillRect(reinterpret_cast<HDC>(wp), &rc, brush.get());
        return TRUE;
    }
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_SLIDER_TRACK:
    case WM_SLIDER_SETTLED:
        m_log.push_back({msg, wp, lp});
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

int CountGdiObjects()
{
    int count = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0)
            ++count;
    }
    return count;
}

COLORREF ScreenPixel(HWND wnd, int x, int y)
{
    // Read through the window's own DC: what was painted, without waiting
    // for the display to catch up.
    fw::ScopedWindowDC dc(wnd);
    return ::GetPixel(dc.get(), x, y);
}

void SendPress(HWND wnd, int x, int y)
{
    ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void SendMove(HWND wnd, int x, int y)
{
    ::SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
}

void SendRelease(HWND wnd, int x, int y)
{
    ::SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
