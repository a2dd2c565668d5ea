#pragma once
// CRoundSliderCtrl: the rotary knob. A real trackbar underneath keeps range,
// position, line size and page size; the knob replaces its look (a round
// window with a stretched background bitmap and a shaded indicator dot) and
// its mouse and keyboard handling. Changes reach the parent as WM_HSCROLL
// with wParam = (position << 16) | trackbar code and lParam = the knob.
#include "DisplayScale.h"
#include "Handles.h"
#include "SliderCtrl.h"

class CRoundSliderCtrl : public CSliderCtrl {
public:
    CRoundSliderCtrl();
    ~CRoundSliderCtrl() override;

    // In pixels at 96 DPI, scaled with the knob.
    void SetIndicatorRadius(int pixels);
    int GetIndicatorRadius() const { return m_indicatorRadius; }
    void SetDragByIndicatorOnly(bool only) { m_dragByIndicatorOnly = only; }
    bool GetDragByIndicatorOnly() const { return m_dragByIndicatorOnly; }
    void SetZeroAngle(int degrees) { m_zeroAngle = degrees; }
    int GetZeroAngle() const { return m_zeroAngle; }
    void SetInverted(bool inverted) { m_inverted = inverted; }
    bool GetInverted() const { return m_inverted; }
    void SetIndicatorColor(COLORREF color);
    void SetIndicatorPressedColor(COLORREF color);
    // Dial centre, radius and the round window region, from the client area
    // (a knob resized for a new scale keeps its dial).
    void UpdateGeometry();
    // Turns the knob one step toward the pointer (client pixels); true when
    // the position was stored.
    bool TrackToPoint(POINT pt);
    // Posts WM_HSCROLL with the current position and `code` to the parent.
    void NotifyParent(int code);

    // The display scale of the face, the indicator and the cursor (96 DPI
    // until set). A change loads the face and the cursor again at the new
    // scale; the position, the range and the drag limit stay. Positions come
    // from the pointer's angle as measured at 96 DPI, so a drag gives the
    // same positions at every scale.
    void SetDpi(UINT dpi);
    UINT GetDpi() const { return m_dpi; }

    void SetDragLimit(int position) { m_dragLimit = position; }
    int GetDragLimit() const { return m_dragLimit; }
    // The bitmap stretched over the knob; 0 or a missing bitmap leaves a
    // plain button-face dial.
    void SetBackgroundBitmap(UINT bitmapId);
    UINT GetBackgroundBitmap() const { return m_backgroundId; }
    // The cursor resource shown while the pointer is over the knob, at the
    // knob's scale; 0 (or a missing resource) leaves the window's own.
    void SetCursorId(UINT cursorId);

    // Centre and dial radius in pixels at 96 DPI.
    POINT GetCentre() const { return {m_centreX, m_centreY}; }
    int GetRadius() const { return m_radius; }
    POINT GetIndicatorCentre() const { return {m_indicatorX, m_indicatorY}; }
    bool IsDragging() const { return m_dragging; }

    // Indicator angle in degrees clockwise from 12 o'clock for a position.
    static int IndicatorAngle(int pos, int minimum, int maximum, int zeroAngle, bool inverted);
    // One-pixel circle around (cx, cy) blending from colour `lowerRight`
    // (at 45 degrees) to `upperLeft` (at -135 degrees).
    static void DrawBevelCircle(HDC dc, int cx, int cy, int r, COLORREF lowerRight, COLORREF upperLeft);
    // The blend colour of DrawBevelCircle for an angle in radians.
    static COLORREF BevelColor(double angle, COLORREF lowerRight, COLORREF upperLeft);

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    LRESULT OnLButtonDown(POINT pt);
    LRESULT OnMouseMove(POINT pt);
    LRESULT OnLButtonUp(POINT pt);
    LRESULT OnMouseWheel(WPARAM wp, LPARAM lp);
    LRESULT OnKeyDown(WPARAM key);
    LRESULT OnKeyUp(WPARAM key);
    void OnCaptureChanged();
    // The cursor of m_cursorId at the knob's scale.
    void LoadCursorAtScale();
    // The position after a key or wheel step of `step` positions.
    int SteppedPosition(long long step) const;
    void RepaintNow();

    // A figure at 96 DPI in the knob's pixels.
    int Scaled(int value) const { return ScaleFigure(value, m_dpi); }

    UINT m_dpi = kBaseDpi;
    bool m_dpiGiven = false;
    // The dial at 96 DPI: the knob's arithmetic is done there. It was made
    // for a knob of m_size96 at m_geometryDpi.
    int m_size96 = -1;
    UINT m_geometryDpi = 0;
    int m_centreX = 0;
    int m_centreY = 0;
    int m_radius = 0;
    int m_indicatorX = 0;
    int m_indicatorY = 0;
    int m_zeroAngle = 220;
    bool m_inverted = false;
    int m_indicatorRadius = -2;
    bool m_dragByIndicatorOnly = false;
    bool m_dragging = false;
    bool m_moved = false;
    UINT m_backgroundId = 0;
    int m_dragLimit = 359;
    int m_wheelRemainder = 0;
    fw::UniqueBrush m_indicatorBrush;
    fw::UniqueBrush m_pressedBrush;
    fw::UniqueBitmap m_background;
    UINT m_cursorId = 0;
    HCURSOR m_cursor = nullptr;
    fw::UniqueIcon m_scaledCursor; // the cursor at another scale than 96 DPI
};
