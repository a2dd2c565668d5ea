#include "Label.h"

CLabel::~CLabel() = default;

void CLabel::SetDpi(UINT dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    if (m_hWnd)
        Invalidate(TRUE);
}

bool CLabel::OnChildNotify(UINT msg, WPARAM wp, LPARAM, LRESULT* result)
{
    if (msg != WM_CTLCOLORSTATIC)
        return false;
    *result = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wp)));
    return true;
}

HBRUSH CLabel::OnCtlColor(HDC dc)
{
    ::SetTextColor(dc, m_textColor);
    ::SetBkMode(dc, TRANSPARENT);

    // 8.7 points: 12 pixels at 96 DPI, scaled like every figure of the page.
    LOGFONTW lf{};
    lf.lfHeight = -ScaleFigure(kFontPixels, m_dpi);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    ::lstrcpynW(lf.lfFaceName, L"微软雅黑", LF_FACESIZE);
    fw::UniqueFont font(::CreateFontIndirectW(&lf));
    if (font)
        ::SelectObject(dc, font.get());
    // The previous request's paint is over, and this DC now holds the new
    // font, so the old one is selected nowhere: safe to release.
    m_font = std::move(font);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT CLabel::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SETTEXT: {
        // The label has no background of its own: new text must be drawn
        // over the page's bitmap, not over the old text.
        LRESULT r = Default();
        HWND parent = GetParent();
        if (parent) {
            RECT rc = CWnd::GetWindowRect();
            ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
            ::RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        return r;
    }
    case WM_NCDESTROY: {
        LRESULT r = Default();
        m_font.reset();
        return r;
    }
    default:
        return CStatic::WindowProc(msg, wp, lp);
    }
}
