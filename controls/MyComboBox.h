#pragma once
// CMyComboBox: a drop-down list combo box, or an edit box bound to the same
// class, whose face is a bitmap with the control's text drawn over it in
// black Arial. Opening the drop-down list does not notify the parent; focus
// changes repaint the face; every other notification reaches the parent.
#include "ComboBox.h"
#include "DisplayScale.h"
#include "Handles.h"

class CMyComboBox : public CComboBox {
public:
    CMyComboBox() = default;
    ~CMyComboBox() override = default;

    // The face bitmap's resource id (314 for the preset list, 315 for the
    // name box); set before the control is first shown.
    // A drop-down list's selection field is made as tall as the face, and
    // the control shows nothing outside its face.
    void SetFaceBitmap(UINT bitmapId);
    UINT GetFaceBitmap() const { return m_faceBitmapId; }
    // The display scale of the face and of the fonts (the one the control
    // was created at until set): the face is loaded again, the text of the
    // face and the control's own font (its list, an edit box's text) follow.
    void SetDpi(UINT dpi);
    UINT GetDpi() const { return m_dpi; }

    // The face's text height in pixels at 96 DPI: 9.5 points of Arial.
    static constexpr int kFontPixels = 13;

    UINT m_faceBitmapId = 0;

protected:
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnEraseBkgnd(HDC dc);
    void OnPaint();
    void DrawFace(HDC dc);
    HBITMAP Face();
    bool IsEditBox() const;
    void FitToFace();
    void ClipToFace();
    // `area` cut to the face bitmap's size from its top-left corner.
    RECT WithinFace(RECT area);

    fw::UniqueBitmap m_face;
    SIZE m_faceSize{};
    UINT m_loadedFaceId = 0;
    UINT m_loadedFaceDpi = 0;
    UINT m_dpi = kBaseDpi;
    // The control's own font as the dialog gave it, at the scale it was
    // created at, and the one made from it for another scale.
    HFONT m_createdFontHandle = nullptr;
    LOGFONTW m_createdFont{};
    UINT m_createdDpi = 0;
    fw::UniqueFont m_scaledFont;
};
