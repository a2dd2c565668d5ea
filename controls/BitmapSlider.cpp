#include "BitmapSlider.h"

#include "Dialog.h"
#include "MemDC.h"
#include "PanelMessages.h"
#include "ResourceBitmap.h"

#include <algorithm>
#include <cmath>
#include <windowsx.h>

namespace {

HBITMAP LoadBitmapResource(UINT id, UINT dpi)
{
    return LoadSkinBitmap(id, BitmapKind::DibSection, dpi);
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm))
        return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

// Truncation toward zero of a floating value, kept inside the int32 range so
// that extreme ranges never overflow the conversion.
int32_t Truncate(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(std::trunc(v));
}

} // namespace

bool CBitmapSlider::SetChannelBitmaps(UINT channelId, UINT activeId)
{
    m_channelId = channelId;
    m_activeChannelId = activeId;
    m_channel.reset(LoadBitmapResource(channelId, m_dpi));
    if (!m_channel) {
        m_channelLoaded = false;
        return false;
    }
    m_activeChannel.reset();
    // The same picture for both parts is loaded once and drawn for both.
    if (activeId != 0 && activeId != channelId) {
        m_activeChannel.reset(LoadBitmapResource(activeId, m_dpi));
        if (!m_activeChannel) {
            m_channel.reset();
            m_channelLoaded = false;
            m_hasActiveChannel = false;
            return false;
        }
    }
    m_hasActiveChannel = activeId != 0;

    const SIZE size = BitmapSize(m_channel.get());
    m_width = size.cx;
    m_height = size.cy;

    if (m_fitToBitmap && m_hWnd) {
        // Resize across the axis only; the window may be larger than its
        // client area by a border.
        RECT client = CWnd::GetClientRect();
        RECT window = CWnd::GetWindowRect();
        const int extraW = (window.right - window.left) - client.right;
        const int extraH = (window.bottom - window.top) - client.bottom;
        const int cw = m_vertical ? m_width : client.right;
        const int ch = m_vertical ? client.bottom : m_height;
        SetWindowPos(nullptr, 0, 0, cw + extraW, ch + extraH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        client = CWnd::GetClientRect();
        if (m_vertical)
            m_height = client.bottom;
        else
            m_width = client.right;
    }

    if (m_hWnd)
        m_clientRect = CWnd::GetClientRect();
    m_channelLoaded = true;
    return true;
}

bool CBitmapSlider::SetThumbBitmaps(UINT thumbId, UINT activeId)
{
    m_thumbId = thumbId;
    m_activeThumbId = activeId;
    m_thumb.reset(LoadBitmapResource(thumbId, m_dpi));
    if (!m_thumb) {
        m_thumbLoaded = false;
        return false;
    }
    m_activeThumb.reset();
    if (activeId != 0 && activeId != thumbId) {
        m_activeThumb.reset(LoadBitmapResource(activeId, m_dpi));
        if (!m_activeThumb) {
            m_thumb.reset();
            m_thumbLoaded = false;
            m_hasActiveThumb = false;
            return false;
        }
    }
    m_hasActiveThumb = activeId != 0;
    const SIZE size = BitmapSize(m_thumb.get());
    m_thumbWidth = size.cx;
    m_thumbHeight = size.cy;
    m_thumbLoaded = true;
    return true;
}

void CBitmapSlider::SetMargins(int left, int top, int right, int bottom)
{
    m_margin96 = RECT{left, top, right, bottom};
    m_marginLeft = ScaleFigure(left, m_dpi);
    m_marginTop = ScaleFigure(top, m_dpi);
    m_marginRight = ScaleFigure(right, m_dpi);
    m_marginBottom = ScaleFigure(bottom, m_dpi);
}

void CBitmapSlider::SetDpi(UINT dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    SetMargins(m_margin96.left, m_margin96.top, m_margin96.right, m_margin96.bottom);
    if (m_channelLoaded)
        SetChannelBitmaps(m_channelId, m_activeChannelId);
    if (m_thumbLoaded)
        SetThumbBitmaps(m_thumbId, m_activeThumbId);
    if (m_hWnd)
        Invalidate(FALSE);
}

void CBitmapSlider::SetRange(int32_t minimum, int32_t maximum)
{
    m_min = minimum;
    m_max = maximum;
}

void CBitmapSlider::SetPos(int32_t value)
{
    m_pos = value;
    if (m_pos > m_max)
        m_pos = m_max;
    if (m_pos < m_min)
        m_pos = m_min;
    if (m_hWnd)
        Invalidate(FALSE);
}

int CBitmapSlider::PositionToPixel(int32_t pos) const
{
    // Worked out at 96 DPI and scaled, so the thumb sits at every scale
    // where its picture at 96 DPI would, enlarged.
    const int span = Length96() - MarginEnd96() - ThumbLength96() - MarginStart96();
    const double range = static_cast<double>(m_max) - static_cast<double>(m_min);
    // An empty range or a track no longer than the thumb: the thumb rests at
    // the start instead of dividing by zero.
    int travel = 0;
    if (range != 0.0 && span > 0)
        travel = Truncate((static_cast<double>(pos) - m_min) / range * span);
    return ScaleFigure(MarginStart96() + travel + ThumbLength96() / 2, m_dpi);
}

int32_t CBitmapSlider::PixelToPosition(int pixel) const
{
    const int span = Length96() - MarginEnd96() - ThumbLength96() - MarginStart96();
    if (span <= 0)
        return m_min;
    const double range = static_cast<double>(m_max) - static_cast<double>(m_min);
    // The pointer as measured at 96 DPI.
    const double at96 = static_cast<double>(pixel) * kBaseDpi / m_dpi;
    return Truncate(m_min + (at96 - ThumbLength96() / 2 - MarginStart96()) / span * range);
}

void CBitmapSlider::DrawBitmapStrip(HDC target, int x, int y, int w, int h, HBITMAP source, int sx, int sy)
{
    if (!source || w <= 0 || h <= 0)
        return;
    const SIZE size = BitmapSize(source);
    if (size.cx <= 0)
        return;
    fw::UniqueMemDC mem(::CreateCompatibleDC(target));
    if (!mem)
        return;
    fw::ScopedSelect select(mem.get(), source);
    if (w <= size.cx - sx) {
        ::BitBlt(target, x, y, w, h, mem.get(), sx, sy, SRCCOPY);
        return;
    }
    // Tiled: each piece's source column follows the target x, so the tiles
    // line up with the control's coordinates.
    const int end = x + w;
    int cx = x;
    while (cx < end) {
        int col = cx % size.cx;
        if (col < 0)
            col += size.cx;
        int piece = size.cx - col;
        if (piece > end - cx)
            piece = end - cx;
        ::BitBlt(target, cx, y, piece, h, mem.get(), col, sy, SRCCOPY);
        cx += piece;
    }
}

LRESULT CBitmapSlider::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SIZE:
        // A slider given a new size after its pictures (a page moved to
        // another scale sizes its slots after giving them the scale) paints
        // all of it; one fitted to its channel across its axis also takes
        // its length along it from the window.
        if (m_channelLoaded) {
            m_clientRect = CWnd::GetClientRect();
            if (m_fitToBitmap && m_vertical)
                m_height = m_clientRect.bottom;
            else if (m_fitToBitmap)
                m_width = m_clientRect.right;
        }
        break;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCHITTEST:
        // Mouse input belongs to the slider even on a slot without the
        // notify style.
        return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLButtonDown({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        if (m_dragging)
            OnMouseMove({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp();
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged();
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wp)))
            return 0;
        break;
    case WM_GETDLGCODE:
        return OnGetDlgCode();
    case WM_SETFOCUS:
        m_hasFocus = true;
        Invalidate(FALSE);
        return 0;
    case WM_KILLFOCUS:
        m_hasFocus = false;
        Invalidate(FALSE);
        return 0;
    default:
        break;
    }
    return CStatic::WindowProc(msg, wp, lp);
}

void CBitmapSlider::OnPaint()
{
    CPaintDC paint(m_hWnd);
    HDC dc = paint.GetSafeHdc();
    if (!dc)
        return;
    RECT area = m_clientRect;
    if (area.right <= area.left || area.bottom <= area.top)
        area = CWnd::GetClientRect();
    {
        CMemDC mem(dc, &area, false);
        if (m_channelLoaded) {
            const int px = PositionToPixel(m_pos);
            if (m_hasActiveChannel && !m_vertical) {
                DrawBitmapStrip(mem, px, 0, m_width - px, m_height, m_channel.get(), px, 0);
                DrawBitmapStrip(mem, 0, 0, px, m_height, ActiveChannel(), 0, 0);
            } else if (m_hasActiveChannel) {
                DrawBitmapStrip(mem, 0, px, m_width, m_height - px, m_channel.get(), 0, px);
                DrawBitmapStrip(mem, 0, 0, m_width, px, ActiveChannel(), 0, 0);
            } else {
                DrawBitmapStrip(mem, 0, 0, m_width, m_height, m_channel.get(), 0, 0);
            }
        }
        if (m_thumbLoaded) {
            HBITMAP thumb = (m_hasActiveThumb && m_dragging) ? ActiveThumb() : m_thumb.get();
            const int px = PositionToPixel(m_pos);
            if (m_vertical)
                DrawBitmapStrip(mem, m_marginLeft, px - m_thumbHeight / 2, m_thumbWidth, m_thumbHeight, thumb, 0, 0);
            else
                DrawBitmapStrip(mem, px - m_thumbWidth / 2, m_marginTop, m_thumbWidth, m_thumbHeight, thumb, 0, 0);
        }
    }
}

void CBitmapSlider::OnLButtonDown(POINT pt)
{
    m_dragging = true;
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);
    const int d = (m_vertical ? pt.y : pt.x) - PositionToPixel(m_pos);
    const int half = ThumbLength() / 2;
    // A press beside the thumb makes its centre jump to the pointer; a press
    // on the thumb keeps the point where it was grabbed.
    m_mouseOffset = (d > half || d < -half) ? 0 : d;
    OnMouseMove(pt);
    Invalidate(FALSE);
}

void CBitmapSlider::OnMouseMove(POINT pt)
{
    int v = (m_vertical ? pt.y : pt.x) - m_mouseOffset;
    if (m_vertical) {
        v = std::min(v, m_height - m_thumbHeight / 2 - m_marginBottom);
        v = std::max(v, m_thumbHeight / 2 + m_marginTop);
    } else {
        v = std::max(v, m_marginLeft + m_thumbWidth / 2);
        v = std::min(v, m_width - m_marginRight - m_thumbWidth / 2);
    }
    if (v == PositionToPixel(m_pos))
        return;
    int32_t pos = PixelToPosition(v);
    if (pos > m_max)
        pos = m_max;
    if (pos < m_min)
        pos = m_min;
    m_pos = pos;
    Invalidate(FALSE);
    Post(WM_SLIDER_TRACK);
}

void CBitmapSlider::OnLButtonUp()
{
    // Cleared first: releasing the capture sends WM_CAPTURECHANGED.
    m_dragging = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    Invalidate(FALSE);
    Post(WM_SLIDER_SETTLED);
}

void CBitmapSlider::OnCaptureChanged()
{
    // The capture was taken away mid-drag (another window, a system dialog):
    // the drag ends here, or later moves would drag without a button held.
    if (!m_dragging)
        return;
    m_dragging = false;
    Invalidate(FALSE);
}

bool CBitmapSlider::OnKeyDown(UINT key)
{
    // Computed in 64 bits: a step past either end of the int32 range clamps
    // instead of wrapping around.
    int64_t next = m_pos;
    switch (key) {
    case VK_PRIOR:
        next = static_cast<int64_t>(m_pos) - m_pageStep;
        break;
    case VK_NEXT:
        next = static_cast<int64_t>(m_pos) + m_pageStep;
        break;
    case VK_END:
        next = m_max;
        break;
    case VK_HOME:
        next = m_min;
        break;
    case VK_LEFT:
    case VK_UP:
        next = static_cast<int64_t>(m_pos) - 1;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        next = static_cast<int64_t>(m_pos) + 1;
        break;
    default:
        return false;
    }
    if (next > m_max)
        next = m_max;
    if (next < m_min)
        next = m_min;
    const int32_t before = m_pos;
    SetPos(static_cast<int32_t>(next));
    // A key that moves the thumb reports the move as a drag does, so the page
    // applies what the slider now shows; the settle notice follows always.
    if (m_pos != before)
        Post(WM_SLIDER_TRACK);
    Post(WM_SLIDER_SETTLED);
    return true;
}

LRESULT CBitmapSlider::OnGetDlgCode()
{
    // While Tab is held the dialog keeps its focus handling.
    if (::GetKeyState(VK_TAB) < 0)
        return Default();
    return DLGC_WANTARROWS;
}

void CBitmapSlider::Post(UINT msg)
{
    HWND parent = ::GetParent(m_hWnd);
    if (parent)
        ::PostMessageW(parent, msg, static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(m_pos));
}
