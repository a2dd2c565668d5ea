#include "MemDC.h"

CMemDC::CMemDC(HDC target, const RECT* rect, bool copyBackground) : m_target(target)
{
    if (rect)
        m_rect = *rect;
    else
        ::GetClipBox(target, &m_rect);

    CDC probe(target);
    if (probe.IsPrinting() || !CreateCompatibleDC(target)) {
        // Printing (or no memory context): draw straight to the target.
        probe.Detach();
        Attach(target);
        return;
    }
    probe.Detach();

    RECT device = m_rect;
    ::LPtoDP(target, reinterpret_cast<POINT*>(&device), 2);
    const int w = device.right > device.left ? device.right - device.left : device.left - device.right;
    const int h = device.bottom > device.top ? device.bottom - device.top : device.top - device.bottom;
    m_bitmap.reset(::CreateCompatibleBitmap(target, w > 0 ? w : 1, h > 0 ? h : 1));
    if (!m_bitmap) {
        DeleteDC();
        Attach(target);
        return;
    }
    m_selected.emplace(m_hDC, m_bitmap.get());
    m_offscreen = true;

    // Same logical coordinates as the target: drawing code need not know.
    ::SetMapMode(m_hDC, ::GetMapMode(target));
    SIZE ext{};
    ::GetWindowExtEx(target, &ext);
    ::SetWindowExtEx(m_hDC, ext.cx, ext.cy, nullptr);
    ::GetViewportExtEx(target, &ext);
    ::SetViewportExtEx(m_hDC, ext.cx, ext.cy, nullptr);
    ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);

    if (copyBackground) {
        ::BitBlt(m_hDC, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, target,
                 m_rect.left, m_rect.top, SRCCOPY);
    } else {
        FillSolidRect(m_rect, ::GetBkColor(target));
    }
}

CMemDC::~CMemDC()
{
    if (!m_offscreen) {
        Detach();
        return;
    }
    ::BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_hDC,
             m_rect.left, m_rect.top, SRCCOPY);
    // The members deselect and delete the bitmap; then the base deletes the
    // memory context.
}
