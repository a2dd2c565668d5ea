#include "Wnd.h"

#include "ErrorReport.h"

#include <commctrl.h>
#include <exception>
#include <vector>

namespace {
const wchar_t kObjectProp[] = L"Zephrin.CWnd";
const UINT_PTR kSubclassId = 0x5A45;
} // namespace

namespace {

// Which window and message a barrier stopped an exception in.
std::wstring HandlerOf(HWND wnd, UINT msg)
{
    wchar_t windowClass[64] = L"?";
    ::GetClassNameW(wnd, windowClass, 64);
    wchar_t text[128] = {};
    ::wsprintfW(text, L"the handling of message 0x%04X by a window of class %ls", msg, windowClass);
    return text;
}

} // namespace

CWnd::~CWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND wnd)
{
    if (!wnd)
        return nullptr;
    return static_cast<CWnd*>(::GetPropW(wnd, kObjectProp));
}

bool CWnd::SubclassWindow(HWND wnd)
{
    if (!wnd || m_hWnd || FromHandlePermanent(wnd))
        return false;
    if (!::SetWindowSubclass(wnd, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    ::SetPropW(wnd, kObjectProp, this);
    m_hWnd = wnd;
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent)
{
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND wnd = m_hWnd;
    if (!wnd)
        return nullptr;
    ::RemoveWindowSubclass(wnd, &CWnd::SubclassProc, kSubclassId);
    ::RemovePropW(wnd, kObjectProp);
    m_hWnd = nullptr;
    return wnd;
}

RECT CWnd::GetClientRect() const
{
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    return rc;
}

RECT CWnd::GetWindowRect() const
{
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return rc;
}

void CWnd::ScreenToClient(RECT* rc) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rc), 2);
}

std::wstring CWnd::GetWindowText() const
{
    int len = ::GetWindowTextLengthW(m_hWnd);
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
    int got = ::GetWindowTextW(m_hWnd, buf.data(), len + 1);
    return std::wstring(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void CWnd::ModifyStyle(LONG_PTR remove, LONG_PTR add)
{
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (GetStyle() & ~remove) | add);
}

void CWnd::ModifyStyleEx(LONG_PTR remove, LONG_PTR add)
{
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, (GetExStyle() & ~remove) | add);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProc(msg, wp, lp);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.msg, m_current.wp, m_current.lp);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    return ::DefSubclassProc(m_hWnd, msg, wp, lp);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

// Offers a notification to the framework object of the control that sent it.
bool CWnd::ReflectToChild(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_NOTIFY:
        child = lp ? reinterpret_cast<NMHDR*>(lp)->hwndFrom : nullptr;
        break;
    case WM_DRAWITEM:
        child = lp ? reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem : nullptr;
        break;
    default:
        return false;
    }
    if (!child || child == parent)
        return false;
    CWnd* object = FromHandlePermanent(child);
    return object && object->OnChildNotify(msg, wp, lp, result);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT reflected = 0;
    if (ReflectToChild(m_hWnd, msg, wp, lp, &reflected))
        return reflected;
    CurrentMessage saved = m_current;
    m_current = {msg, wp, lp};
    LRESULT result = WindowProc(msg, wp, lp);
    m_current = saved;
    return result;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    CWnd* self = reinterpret_cast<CWnd*>(ref);
    if (msg == WM_NCDESTROY) {
        LRESULT result = ::DefSubclassProc(wnd, msg, wp, lp);
        if (self && self->m_hWnd == wnd) {
            self->UnsubclassWindow();
            self->PostNcDestroy();
        }
        return result;
    }
    if (!self || self->m_hWnd != wnd)
        return ::DefSubclassProc(wnd, msg, wp, lp);
    // No C++ exception may cross back into the window system: what the
    // handler did not finish is reported, and the message gets the window's
    // own handling.
    try {
        return self->Dispatch(msg, wp, lp);
    } catch (const std::exception& e) {
        fw::ReportException(HandlerOf(wnd, msg), e.what());
    } catch (...) {
        fw::ReportException(HandlerOf(wnd, msg), nullptr);
    }
    return ::DefSubclassProc(wnd, msg, wp, lp);
}
