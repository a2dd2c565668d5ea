#pragma once
// CLabel: a static text drawn in a fixed colour and font with no background,
// so the page's bitmap shows behind the text. It answers the colour request
// that its parent reflects back to it.
#include "DisplayScale.h"
#include "Handles.h"
#include "Static.h"

class CLabel : public CStatic {
public:
    CLabel() = default;
    explicit CLabel(COLORREF textColor) : m_textColor(textColor) {}
    ~CLabel() override;

    void SetTextColor(COLORREF color) { m_textColor = color; }
    COLORREF GetTextColor() const { return m_textColor; }
    // The display scale of the font (96 DPI until set); the text is redrawn.
    void SetDpi(UINT dpi);
    UINT GetDpi() const { return m_dpi; }

    // The font's height in pixels at 96 DPI: 8.7 points.
    static constexpr int kFontPixels = 12;

protected:
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HBRUSH OnCtlColor(HDC dc);

    COLORREF m_textColor = RGB(0, 0, 0);
    UINT m_dpi = kBaseDpi;
    // The font handed out with the last colour request. It must outlive the
    // paint that selected it, so it is released at the next request or when
    // the window goes, never while a paint may still use it.
    fw::UniqueFont m_font;
};
