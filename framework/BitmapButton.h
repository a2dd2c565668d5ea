#pragma once
#include "DisplayScale.h"
#include "Handles.h"
#include "Wnd.h"

// A push button drawn from a normal and a pressed bitmap and sized to them.
// The template control may be any push button: it is made owner-drawn when
// its bitmaps are loaded.
class CBitmapButton : public CWnd {
public:
    // Loads the bitmaps from the program's resources, at the button's
    // display scale; pressed 0 means the normal bitmap is drawn pressed too.
    // False when the normal one is missing.
    BOOL LoadBitmaps(UINT normalId, UINT pressedId = 0);
    // Resizes the button to its normal bitmap, keeping its place.
    void SizeToContent();
    SIZE GetBitmapSize() const { return m_size; }
    // The display scale of the bitmaps (96 DPI until set). A change loads
    // them again at the new scale, and a button sized to them follows.
    void SetDpi(UINT dpi);
    UINT GetDpi() const { return m_dpi; }

protected:
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void DrawItem(const DRAWITEMSTRUCT& item);

private:
    fw::UniqueBitmap m_normal;
    fw::UniqueBitmap m_pressed;
    SIZE m_size{};
    UINT m_normalId = 0;
    UINT m_pressedId = 0;
    UINT m_dpi = kBaseDpi;
    bool m_sizedToContent = false;
};
