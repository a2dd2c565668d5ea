#include "RoundSliderCtrl.h"

#include "Dialog.h"
#include "MemDC.h"
#include "ResourceBitmap.h"
#include "ScaledIcon.h"

#include <algorithm>
#include <cmath>
#include <windowsx.h>

namespace {

const double kPi = 3.141592654;
const double kHalfPi = 1.570796327;

int TruncateToInt(double v)
{
    return static_cast<int>(std::trunc(v));
}

} // namespace

CRoundSliderCtrl::CRoundSliderCtrl()
    : m_indicatorBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))),
      m_pressedBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)))
{
}

CRoundSliderCtrl::~CRoundSliderCtrl() = default;

void CRoundSliderCtrl::SetIndicatorRadius(int pixels)
{
    // The dial radius keeps its value until the next UpdateGeometry.
    m_indicatorRadius = pixels;
}

void CRoundSliderCtrl::SetIndicatorColor(COLORREF color)
{
    m_indicatorBrush.reset(::CreateSolidBrush(color));
}

void CRoundSliderCtrl::SetIndicatorPressedColor(COLORREF color)
{
    m_pressedBrush.reset(::CreateSolidBrush(color));
}

void CRoundSliderCtrl::SetBackgroundBitmap(UINT bitmapId)
{
    m_backgroundId = bitmapId;
    // Loaded once here rather than at every paint.
    m_background.reset(bitmapId ? LoadSkinBitmap(bitmapId, BitmapKind::DibSection, m_dpi) : nullptr);
    if (m_hWnd)
        Invalidate(FALSE);
}

void CRoundSliderCtrl::SetDpi(UINT dpi)
{
    const bool first = !m_dpiGiven;
    m_dpiGiven = true;
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    if (m_backgroundId)
        SetBackgroundBitmap(m_backgroundId);
    LoadCursorAtScale();
    // The dial is kept at 96 DPI, where a change of scale leaves it as it
    // was (the page then resizes the knob, and the round shape follows).
    // Only the first scale given says what the size it was made from means:
    // a knob is made at 96 DPI until told otherwise.
    if (first) {
        m_geometryDpi = 0;
        UpdateGeometry();
    }
}

void CRoundSliderCtrl::SetCursorId(UINT cursorId)
{
    m_cursorId = cursorId;
    LoadCursorAtScale();
}

void CRoundSliderCtrl::LoadCursorAtScale()
{
    fw::UniqueIcon scaled;
    if (!m_cursorId) {
        m_cursor = nullptr;
    } else if (m_dpi == kBaseDpi) {
        // A shared resource cursor: never destroyed.
        m_cursor = ::LoadCursorW(FrameworkResourceHandle(), MAKEINTRESOURCEW(m_cursorId));
    } else {
        scaled.reset(reinterpret_cast<HICON>(LoadCursorAt(FrameworkResourceHandle(), m_cursorId, m_dpi)));
        m_cursor = reinterpret_cast<HCURSOR>(scaled.get());
    }
    // The cursor of the previous scale goes once the knob shows another.
    m_scaledCursor = std::move(scaled);
}

void CRoundSliderCtrl::PreSubclassWindow()
{
    // Defaults until the page configures the knob: every page sets its own
    // range and drag limit right after attaching it, so none shows in these.
    m_dragLimit = 359;
    SetRange(0, 466, FALSE);
    SetLineSize(1);
    SetPageSize(10);
    UpdateGeometry();
}

void CRoundSliderCtrl::UpdateGeometry()
{
    if (!m_hWnd)
        return;
    const RECT rc = CWnd::GetClientRect();
    const int m = std::min(rc.right, rc.bottom);
    // The dial as at 96 DPI (the knob's size there is the scaled figure's).
    // A knob resized for a new scale to what its 96-DPI size gives keeps its
    // dial; otherwise the dial is made again.
    const int m96 = ::MulDiv(m, static_cast<int>(kBaseDpi), static_cast<int>(m_dpi));
    if (m_geometryDpi == m_dpi || m96 != m_size96) {
        m_size96 = m96;
        m_centreX = (rc.left + m96) / 2;
        m_centreY = (rc.top + m96) / 2;
        m_radius = m96 / 2 - m_indicatorRadius - 1;
    }
    m_geometryDpi = m_dpi;
    // The window owns the region it is given (and deletes the one it
    // replaces), so the knob never deletes a region itself.
    fw::UniqueRgn round(::CreateEllipticRgn(rc.left, rc.top, rc.left + m, rc.top + m));
    if (round && ::SetWindowRgn(m_hWnd, round.get(), TRUE))
        round.release();
}

int CRoundSliderCtrl::IndicatorAngle(int pos, int minimum, int maximum, int zeroAngle, bool inverted)
{
    const long long n = static_cast<long long>(maximum) + 1 - minimum;
    long long angle = n != 0 ? (static_cast<long long>(pos) - minimum) * 360 / n : 0;
    angle = ((angle + zeroAngle + 360) % 360 + 360) % 360;
    if (inverted)
        angle = 360 - angle;
    return static_cast<int>(angle);
}

COLORREF CRoundSliderCtrl::BevelColor(double angle, COLORREF a, COLORREF b)
{
    double c = -angle - 2.356;
    // Wrapped with 6.293, not 2 pi: the shading every knob has always been
    // drawn with (2 pi would shift the blend by a hundredth of a radian).
    if (c < -3.1415)
        c += 6.293;
    else if (c > 3.1415)
        c = 6.293 - c;
    const double d = (1 + std::cos(c)) / 2;
    auto mix = [d](int ca, int cb) { return TruncateToInt(ca * (1 - d) + cb * d); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void CRoundSliderCtrl::DrawBevelCircle(HDC dc, int cx, int cy, int r, COLORREF lowerRight, COLORREF upperLeft)
{
    double x = r;
    double y = 0;
    double e = -r;
    while (x >= y) {
        const double t = std::atan2(y, x);
        const int ix = static_cast<int>(x);
        const int iy = static_cast<int>(y);
        ::SetPixel(dc, cx + ix, cy + iy, BevelColor(t, lowerRight, upperLeft));
        ::SetPixel(dc, cx + iy, cy + ix, BevelColor(kHalfPi - t, lowerRight, upperLeft));
        ::SetPixel(dc, cx - iy, cy + ix, BevelColor(t + kHalfPi, lowerRight, upperLeft));
        ::SetPixel(dc, cx - ix, cy + iy, BevelColor(kPi - t, lowerRight, upperLeft));
        ::SetPixel(dc, cx - ix, cy - iy, BevelColor(t - kPi, lowerRight, upperLeft));
        ::SetPixel(dc, cx - iy, cy - ix, BevelColor(-t - kHalfPi, lowerRight, upperLeft));
        ::SetPixel(dc, cx + iy, cy - ix, BevelColor(t - kHalfPi, lowerRight, upperLeft));
        ::SetPixel(dc, cx + ix, cy - iy, BevelColor(-t, lowerRight, upperLeft));
        e += 2 * y + 1;
        y += 1;
        if (e >= 0) {
            x -= 1;
            e -= 2 * x;
        }
    }
}

bool CRoundSliderCtrl::TrackToPoint(POINT pt)
{
    // The pointer as measured at 96 DPI.
    const double scale = static_cast<double>(kBaseDpi) / m_dpi;
    double dx = pt.x * scale - m_centreX;
    if (m_inverted)
        dx = -dx;
    const double dy = pt.y * scale - m_centreY;

    double a;
    if (dx == 0) {
        a = dy >= 0 ? 180.0 : 0.0;
    } else {
        a = 90.0 - std::atan(-dy / dx) * 180.0 / kPi;
        if (dx < 0)
            a += 180.0;
    }
    a -= m_zeroAngle;
    while (a < 0)
        a += 360;
    while (a >= 360)
        a -= 360;

    const int minimum = GetRangeMin();
    const int maximum = GetRangeMax();
    const int target = minimum + TruncateToInt(a * (static_cast<double>(maximum) + 1 - minimum) / 360.0);
    const int pos = GetPos();
    if (target == pos)
        return false;

    int next;
    if (target <= m_dragLimit) {
        next = target > pos ? pos + 1 : pos - 1;
    } else {
        // Dead zone beyond the drag limit: the nearer part pushes up to the
        // limit, the part just before the zero angle pulls down.
        const int h = TruncateToInt(0.3 * m_dragLimit) / 2;
        next = (target - m_dragLimit > h) ? pos - 1 : pos + 1;
        if (next > m_dragLimit)
            next = m_dragLimit;
    }
    SetPos(next);
    return true;
}

void CRoundSliderCtrl::NotifyParent(int code)
{
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        return;
    const WPARAM wp = (static_cast<WPARAM>(static_cast<UINT>(GetPos()) & 0xFFFF) << 16) |
                      (static_cast<WPARAM>(code) & 0xFFFF);
    ::PostMessageW(parent, WM_HSCROLL, wp, reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CRoundSliderCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SIZE: {
        LRESULT r = Default();
        UpdateGeometry();
        return r;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnLButtonDown({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_MOUSEMOVE:
        return OnMouseMove({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_LBUTTONUP:
        return OnLButtonUp({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_CAPTURECHANGED:
        // Not passed on: the trackbar never started a drag of its own, and
        // would report one ending.
        OnCaptureChanged();
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(wp, lp);
    case WM_KEYDOWN:
        return OnKeyDown(wp);
    case WM_KEYUP:
        return OnKeyUp(wp);
    case WM_SETCURSOR:
        if (m_cursor && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(m_cursor);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CSliderCtrl::WindowProc(msg, wp, lp);
}

void CRoundSliderCtrl::OnPaint()
{
    // Every paint redraws the whole knob.
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    CPaintDC paint(m_hWnd);
    HDC dc = paint.GetSafeHdc();
    if (!dc)
        return;
    {
        CMemDC mem(dc, nullptr, false);
        const RECT client = CWnd::GetClientRect();
        mem.FillSolidRect(client, ::GetSysColor(COLOR_BTNFACE));

        if (m_background) {
            BITMAP bm{};
            ::GetObjectW(m_background.get(), sizeof bm, &bm);
            fw::UniqueMemDC src(::CreateCompatibleDC(mem));
            if (src) {
                fw::ScopedSelect select(src.get(), m_background.get());
                const int oldMode = ::SetStretchBltMode(mem, HALFTONE);
                POINT oldOrg{};
                ::SetBrushOrgEx(mem, 0, 0, &oldOrg);
                ::StretchBlt(mem, 0, 0, client.right, client.bottom, src.get(), 0, 0, bm.bmWidth, bm.bmHeight,
                             SRCCOPY);
                ::SetBrushOrgEx(mem, oldOrg.x, oldOrg.y, nullptr);
                ::SetStretchBltMode(mem, oldMode);
            }
        }

        const int angle = IndicatorAngle(GetPos(), GetRangeMin(), GetRangeMax(), m_zeroAngle, m_inverted);
        // The indicator's place and size as at 96 DPI, scaled.
        const double scale = static_cast<double>(m_dpi) / kBaseDpi;
        const double r = (m_radius - m_indicatorRadius) * scale;
        const double theta = angle * kPi / 180.0;
        m_indicatorY = TruncateToInt(m_centreY * scale - std::cos(theta) * r);
        m_indicatorX = TruncateToInt(m_centreX * scale + std::sin(theta) * r);

        const int s = Scaled((4 * m_indicatorRadius) / 5);
        {
            HBRUSH brush = m_dragging ? m_pressedBrush.get() : m_indicatorBrush.get();
            fw::ScopedSelect selBrush(mem, brush);
            fw::ScopedSelect selPen(mem, ::GetStockObject(NULL_PEN));
            // A null pen leaves the right and bottom edges unfilled; one extra
            // pixel gives the ellipse the size of the rectangle.
            ::Ellipse(mem, m_indicatorX - s + Scaled(2), m_indicatorY - s + Scaled(2), m_indicatorX + s + Scaled(1),
                      m_indicatorY + s + Scaled(1));
        }
        DrawBevelCircle(mem, m_indicatorX, m_indicatorY, s - Scaled(1), ::GetSysColor(COLOR_BTNHIGHLIGHT),
                        ::GetSysColor(COLOR_3DDKSHADOW));
        if (m_dragging)
            DrawBevelCircle(mem, m_indicatorX, m_indicatorY, s - Scaled(2), ::GetSysColor(COLOR_3DLIGHT),
                            ::GetSysColor(COLOR_BTNSHADOW));
        else
            DrawBevelCircle(mem, m_indicatorX, m_indicatorY, s - Scaled(2), ::GetSysColor(COLOR_BTNSHADOW),
                            ::GetSysColor(COLOR_3DLIGHT));
    }
}

void CRoundSliderCtrl::RepaintNow()
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CRoundSliderCtrl::OnLButtonDown(POINT pt)
{
    if (m_dragByIndicatorOnly) {
        const long long ddx = m_indicatorX - pt.x;
        const long long ddy = m_indicatorY - pt.y;
        const long long radius = Scaled(m_indicatorRadius);
        if (ddx * ddx + ddy * ddy > radius * radius)
            return 0;
    }
    if (m_dragging)
        return Default();
    m_dragging = true;
    m_moved = false;
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);
    if (TrackToPoint(pt)) {
        m_moved = true;
        NotifyParent(TB_THUMBTRACK);
    }
    RepaintNow();
    return 0;
}

LRESULT CRoundSliderCtrl::OnMouseMove(POINT pt)
{
    if (!m_dragging)
        return Default();
    if (TrackToPoint(pt)) {
        m_moved = true;
        NotifyParent(TB_THUMBTRACK);
        RepaintNow();
    }
    return 0;
}

LRESULT CRoundSliderCtrl::OnLButtonUp(POINT pt)
{
    if (!m_dragging)
        return Default();
    // Cleared first: releasing the capture sends WM_CAPTURECHANGED.
    m_dragging = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (TrackToPoint(pt)) {
        NotifyParent(TB_THUMBTRACK);
        m_moved = true;
    }
    if (m_moved) {
        NotifyParent(TB_THUMBPOSITION);
        m_moved = false;
    }
    RepaintNow();
    return 0;
}

void CRoundSliderCtrl::OnCaptureChanged()
{
    // The capture was taken away mid-drag: end the drag as a release would
    // (without a last step), so the knob does not keep turning under a
    // pointer whose button is up.
    if (!m_dragging)
        return;
    m_dragging = false;
    if (m_moved) {
        NotifyParent(TB_THUMBPOSITION);
        m_moved = false;
    }
    Invalidate(FALSE);
}

LRESULT CRoundSliderCtrl::OnMouseWheel(WPARAM wp, LPARAM lp)
{
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ::ScreenToClient(m_hWnd, &pt);
    const RECT rc = CWnd::GetClientRect();
    if (!::PtInRect(&rc, pt))
        return 0; // swallowed
    // One line step per notch, forward turning the knob clockwise (up),
    // stopping at the ends like the keys.
    m_wheelRemainder += GET_WHEEL_DELTA_WPARAM(wp);
    const int notches = m_wheelRemainder / WHEEL_DELTA;
    m_wheelRemainder -= notches * WHEEL_DELTA;
    if (notches != 0) {
        const int before = GetPos();
        SetPos(SteppedPosition(static_cast<long long>(notches) * GetLineSize()));
        if (GetPos() != before) {
            NotifyParent(notches > 0 ? TB_LINEDOWN : TB_LINEUP);
            NotifyParent(TB_ENDTRACK);
        }
    }
    RepaintNow();
    return 0;
}

int CRoundSliderCtrl::SteppedPosition(long long step) const
{
    // Keys and the wheel stop at the minimum and at the drag limit (or the
    // maximum, when lower); they never wrap from one end to the other, so no
    // single step can jump from the quietest to the loudest setting. A
    // position already above the limit is not pushed further up.
    const long long position = GetPos();
    const long long minimum = GetRangeMin();
    const long long top = std::max<long long>(minimum, std::min<long long>(GetRangeMax(), m_dragLimit));
    long long next = position + step;
    if (step > 0)
        next = std::min(next, std::max(top, position));
    else
        next = std::max(next, std::min(minimum, position));
    return static_cast<int>(next);
}

LRESULT CRoundSliderCtrl::OnKeyDown(WPARAM key)
{
    int step;
    int code;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        step = -GetLineSize();
        code = TB_LINEUP;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        step = GetLineSize();
        code = TB_LINEDOWN;
        break;
    case VK_PRIOR:
        step = -GetPageSize();
        code = TB_PAGEUP;
        break;
    case VK_NEXT:
        step = GetPageSize();
        code = TB_PAGEDOWN;
        break;
    case VK_HOME:
    case VK_END:
        return 0;
    default:
        return Default();
    }
    SetPos(SteppedPosition(step));
    RepaintNow();
    NotifyParent(code);
    return 0;
}

LRESULT CRoundSliderCtrl::OnKeyUp(WPARAM key)
{
    switch (key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        NotifyParent(TB_ENDTRACK);
        return 0;
    case VK_HOME:
    case VK_END:
        return 0;
    default:
        return Default();
    }
}
