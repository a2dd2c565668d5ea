#include "ControlPlacement.h"

#include "SkinnedPage.h"

void PlaceControlTable(CSkinnedPage& page, std::span<const ControlPlacement> table)
{
    for (const ControlPlacement& p : table)
        PlaceControl(page, ::GetDlgItem(page.m_hWnd, p.id), p.x, p.y);
}

RECT ControlRectOnPage(HWND page, HWND control)
{
    RECT rc{};
    if (!control || !::GetWindowRect(control, &rc))
        return RECT{};
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool PointOnControl(HWND page, HWND control, POINT pt)
{
    const RECT rc = ControlRectOnPage(page, control);
    return ::PtInRect(&rc, pt) != FALSE;
}
