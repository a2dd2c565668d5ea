#pragma once
// CMyComboBox: a drop-down list combo box, or an edit box bound to the same
// class, whose face is a bitmap with the control's text drawn over it in
// black Arial. Opening the drop-down list does not notify the parent; focus
// changes repaint the face; every other notification reaches the parent.
#include "ComboBox.h"
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
};
