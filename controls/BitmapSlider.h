#pragma once
// CBitmapSlider: the linear slider of the skinned pages. A channel bitmap with
// a thumb bitmap on it, horizontal or vertical, over a signed 32-bit range.
// The slider keeps its own position and posts WM_SLIDER_TRACK while dragged
// or moved by a key, and WM_SLIDER_SETTLED on release and after each handled
// key (wParam = the control id, lParam = the position). Attach it to a static
// slot of the page's template with SubclassDlgItem.
#include "DisplayScale.h"
#include "Handles.h"
#include "Static.h"

#include <cstdint>

class CBitmapSlider : public CStatic {
public:
    CBitmapSlider() = default;
    ~CBitmapSlider() override = default;

    // Loads the channel (and, when activeId is not 0, the bitmap used between
    // the minimum end and the thumb). False when a bitmap cannot be loaded.
    bool SetChannelBitmaps(UINT channelId, UINT activeId);
    // Loads the thumb (and, when activeId is not 0, the thumb shown while
    // dragging). False when a bitmap cannot be loaded.
    bool SetThumbBitmaps(UINT thumbId, UINT activeId);
    // In pixels at 96 DPI, scaled with the slider.
    void SetMargins(int left, int top, int right, int bottom);
    void SetVertical(bool vertical) { m_vertical = vertical; }
    // Acts at the next SetChannelBitmaps: the control is resized across its
    // axis to the channel bitmap.
    void SetFitToBitmap(bool fit) { m_fitToBitmap = fit; }
    // Does not move the position.
    void SetRange(int32_t minimum, int32_t maximum);
    // Clamped to the range; repaints, posts nothing.
    void SetPos(int32_t value);
    int32_t GetPos() const { return m_pos; }
    void SetPageSize(int32_t step) { m_pageStep = step; }

    int32_t GetRangeMin() const { return m_min; }
    int32_t GetRangeMax() const { return m_max; }
    int32_t GetPageSize() const { return m_pageStep; }
    bool IsVertical() const { return m_vertical; }
    bool IsDragging() const { return m_dragging; }
    bool HasFocus() const { return m_hasFocus; }
    int GetChannelWidth() const { return m_width; }
    int GetChannelHeight() const { return m_height; }
    int GetThumbWidth() const { return m_thumbWidth; }
    int GetThumbHeight() const { return m_thumbHeight; }
    // The area each paint covers (client pixels).
    RECT GetPaintArea() const { return m_clientRect; }

    // The display scale of the bitmaps and margins (96 DPI until set). A
    // change loads the bitmaps again at the new scale and keeps the position.
    // Positions come from the pointer as measured at 96 DPI, so a drag gives
    // the same positions at every scale.
    void SetDpi(UINT dpi);
    UINT GetDpi() const { return m_dpi; }

    // Thumb centre along the axis for a position, and back (pixels of the
    // control at its scale).
    int PositionToPixel(int32_t pos) const;
    int32_t PixelToPosition(int pixel) const;

    // Copies a w x h region of `source` (from sx, sy) to (x, y) of `target`;
    // a region wider than the rest of the source row is tiled horizontally,
    // each piece taking its source column from (x modulo the source width).
    static void DrawBitmapStrip(HDC target, int x, int y, int w, int h, HBITMAP source, int sx, int sy);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    void OnLButtonDown(POINT pt);
    void OnMouseMove(POINT pt);
    void OnLButtonUp();
    bool OnKeyDown(UINT key);
    LRESULT OnGetDlgCode();
    void OnCaptureChanged();
    void Post(UINT msg);

    int Length() const { return m_vertical ? m_height : m_width; }
    int MarginStart() const { return m_vertical ? m_marginTop : m_marginLeft; }
    int MarginEnd() const { return m_vertical ? m_marginBottom : m_marginRight; }
    int ThumbLength() const { return m_vertical ? m_thumbHeight : m_thumbWidth; }
    // The same at 96 DPI: the slider's arithmetic is done there.
    int Length96() const { return To96(Length()); }
    int ThumbLength96() const { return To96(ThumbLength()); }
    int MarginStart96() const { return m_vertical ? m_margin96.top : m_margin96.left; }
    int MarginEnd96() const { return m_vertical ? m_margin96.bottom : m_margin96.right; }
    // A length of the control's pixels at 96 DPI (the scaled figure it came from).
    int To96(int pixels) const { return ::MulDiv(pixels, static_cast<int>(kBaseDpi), static_cast<int>(m_dpi)); }

    int32_t m_min = 0;
    int32_t m_max = 100;
    int32_t m_pos = 0;
    int32_t m_pageStep = 20;
    RECT m_clientRect{};
    int m_width = 0;
    int m_height = 0;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;
    int m_marginLeft = 0;
    int m_marginRight = 0;
    int m_marginTop = 0;
    int m_marginBottom = 0;
    int m_mouseOffset = 0;
    RECT m_margin96{};
    UINT m_dpi = kBaseDpi;
    UINT m_channelId = 0;
    UINT m_activeChannelId = 0;
    UINT m_thumbId = 0;
    UINT m_activeThumbId = 0;
    bool m_vertical = false;
    bool m_fitToBitmap = false;
    bool m_channelLoaded = false;
    bool m_thumbLoaded = false;
    bool m_hasActiveChannel = false;
    bool m_hasActiveThumb = false;
    bool m_dragging = false;
    bool m_hasFocus = false;

    fw::UniqueBitmap m_channel;
    // Null when the active picture is the plain one (drawn from it).
    fw::UniqueBitmap m_activeChannel;
    fw::UniqueBitmap m_thumb;
    fw::UniqueBitmap m_activeThumb;
    HBITMAP ActiveChannel() const { return m_activeChannel ? m_activeChannel.get() : m_channel.get(); }
    HBITMAP ActiveThumb() const { return m_activeThumb ? m_activeThumb.get() : m_thumb.get(); }
};
