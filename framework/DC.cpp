#include "DC.h"

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::CreateCompatibleDC(HDC dc)
{
    DeleteDC();
    m_hDC = ::CreateCompatibleDC(dc);
    m_owned = m_hDC != nullptr;
    return m_owned;
}

BOOL CDC::DeleteDC()
{
    if (!m_owned || !m_hDC) {
        m_hDC = m_owned ? nullptr : m_hDC;
        m_owned = false;
        return FALSE;
    }
    BOOL ok = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_owned = false;
    return ok;
}

void CDC::Attach(HDC dc)
{
    DeleteDC();
    m_hDC = dc;
    m_owned = false;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_owned = false;
    return dc;
}

SIZE CDC::GetWindowExt() const
{
    SIZE s{};
    ::GetWindowExtEx(m_hDC, &s);
    return s;
}

SIZE CDC::GetViewportExt() const
{
    SIZE s{};
    ::GetViewportExtEx(m_hDC, &s);
    return s;
}

void CDC::FillSolidRect(const RECT& rc, COLORREF color)
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CPaintDC::CPaintDC(HWND wnd) : m_wnd(wnd)
{
    Attach(::BeginPaint(wnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_wnd, &m_ps);
}
