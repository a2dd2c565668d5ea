#include "BitmapButton.h"

#include "ResourceBitmap.h"

BOOL CBitmapButton::LoadBitmaps(UINT normalId, UINT pressedId)
{
    m_normalId = normalId;
    m_pressedId = pressedId;
    m_normal.reset(LoadSkinBitmap(normalId, BitmapKind::Device, m_dpi));
    m_pressed.reset(pressedId ? LoadSkinBitmap(pressedId, BitmapKind::Device, m_dpi) : nullptr);
    m_size = {};
    if (m_normal) {
        BITMAP bm{};
        ::GetObjectW(m_normal.get(), sizeof bm, &bm);
        m_size = {bm.bmWidth, bm.bmHeight};
    }
    if (m_hWnd) {
        // The button paints itself from the bitmaps from now on.
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (GetStyle() & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
        Invalidate(FALSE);
    }
    return m_normal ? TRUE : FALSE;
}

void CBitmapButton::SizeToContent()
{
    m_sizedToContent = true;
    if (m_hWnd && m_size.cx > 0)
        SetWindowPos(nullptr, 0, 0, m_size.cx, m_size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::SetDpi(UINT dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    if (m_normalId)
        LoadBitmaps(m_normalId, m_pressedId);
    if (m_sizedToContent)
        SizeToContent();
}

bool CBitmapButton::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result)
{
    if (msg != WM_DRAWITEM)
        return false;
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    *result = TRUE;
    return true;
}

LRESULT CBitmapButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // The bitmap covers the whole button: no separate background erase, so
    // pressing does not flicker.
    if (msg == WM_ERASEBKGND)
        return TRUE;
    return CWnd::WindowProc(msg, wp, lp);
}

void CBitmapButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    HBITMAP bitmap = m_normal.get();
    if ((item.itemState & ODS_SELECTED) && m_pressed)
        bitmap = m_pressed.get();
    if (!bitmap)
        return;
    fw::UniqueMemDC mem(::CreateCompatibleDC(item.hDC));
    if (!mem)
        return;
    fw::ScopedSelect select(mem.get(), bitmap);
    ::BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
             item.rcItem.bottom - item.rcItem.top, mem.get(), 0, 0, SRCCOPY);
}
