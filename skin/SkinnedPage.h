#pragma once
// What every page of the panel shares: a background bitmap that gives the
// window its size and its outline (pure blue is see-through), an off-screen
// copy painted on erase, controls placed at fixed pixel positions, and a
// window that moves when its background is dragged.
#include "DC.h"
#include "Dialog.h"
#include "DisplayScale.h"
#include "Handles.h"
#include "PanelModel.h"

#include <optional>
#include <vector>

class CSkinnedPage : public CDialog {
public:
    using CDialog::CDialog;

    UINT GetBackgroundId() const { return m_backgroundId; }
    void SetBackgroundId(UINT id) { m_backgroundId = id; }
    // These build a skin that is still waiting for the page to be shown.
    int GetSkinWidth() const { return RealizedSkin().m_skinWidth; }
    int GetSkinHeight() const { return RealizedSkin().m_skinHeight; }
    HDC GetOffscreenDC() const { return RealizedSkin().m_offscreen.GetSafeHdc(); }
    // A hidden page whose background changed builds its skin when shown, or
    // here, ahead of time; so do the pictures of its controls that wait.
    bool SkinPending() const { return m_skinPending || m_picturesPending; }
    void BuildPendingSkin() const
    {
        RealizedSkin();
        const_cast<CSkinnedPage&>(*this).RealizePictures();
    }

    // Starts the system's interactive move of the page, as if the left button
    // had been pressed on a caption bar.
    void StartWindowDrag();

    // The page this page is asking its owner for, while it asks.
    std::optional<model::Page> RequestedPage() const { return m_requestedPage; }
    void SetRequestedPage(std::optional<model::Page> page) { m_requestedPage = page; }

    // The display scale the page's skin and controls are at: the DPI of the
    // page's monitor when it was created, then the last one it was given.
    UINT GetDpi() const { return m_dpi; }
    // Gives the page a display scale: a visible page takes it at once (its
    // background, shape, controls and their pictures, keeping its top-left
    // corner), a hidden one when it is next shown.
    void SetDpi(UINT dpi);
    bool DpiPending() const { return m_wantedDpi != m_dpi; }

protected:
    // The page's control pictures wait until the page is first shown (or
    // prepared): OnPicturesDue then loads them. A visible page loads them now.
    void LoadPicturesWhenShown();
    virtual void OnPicturesDue() {}

    BOOL OnInitDialog() override;
    // Takes the scale asked for: the controls, then the skin, then a repaint.
    void ApplyDpi();
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Shared erase handler: copies the off-screen background to the window.
    LRESULT OnEraseBkgnd(HDC dc);
    // The page's controls at GetDpi(): their scale, places and sizes. Called
    // when the scale changes, before the new skin; each page places its own.
    virtual void OnDpiChanged() {}

private:
    friend void ApplySkin(CSkinnedPage& page);
    friend void ApplySkinWhenShown(CSkinnedPage& page);
    const CSkinnedPage& RealizedSkin() const;
    void RealizePictures();
    bool m_picturesPending = false;
    std::optional<model::Page> m_requestedPage;
    bool m_skinPending = false; // the background changed while the page was hidden
    UINT m_backgroundId = 0;
    UINT m_appliedId = 0; // the background the window was last sized and shaped to
    UINT m_appliedDpi = 0; // and its scale
    UINT m_heldId = 0;     // the picture m_background holds (0: none known)
    UINT m_dpi = kBaseDpi;
    UINT m_wantedDpi = kBaseDpi;
    int m_skinWidth = 0;
    int m_skinHeight = 0;
    // Destroyed in reverse: the background is deselected, the off-screen
    // context deleted, then the background itself.
    fw::UniqueBitmap m_background;
    CDC m_offscreen;
    std::optional<fw::ScopedSelect> m_offscreenSelect;
    void ReleaseSkin();

public:
    ~CSkinnedPage() override;
};

// (Re)builds the page's skin from its current background bitmap id: loads the
// bitmap, cuts the window shape from it, resizes the window to it and makes
// it the off-screen copy. The caller repaints the page afterwards.
void ApplySkin(CSkinnedPage& page);
// ApplySkin for a page on show; a hidden page only takes note, and builds the
// skin when it is next shown (or its skin is asked for): a language change
// decodes no background of a page the user does not see.
void ApplySkinWhenShown(CSkinnedPage& page);

// The window shape of a bitmap: one rectangle per run of opaque pixels in
// each row, in scan order. The list's room starts at the bitmap's height and
// grows by 40 rectangles whenever it is full.
struct RegionRects {
    std::vector<RECT> rects;
    int width = 0;
    int height = 0;
    bool supported = false; // false for pixel formats other than 8, 16, 24 and 32 bits
};
RegionRects BuildRegionFromBitmap(HBITMAP bitmap);
// The same for a background as LoadSkinBitmap gives it (a 24-bit bottom-up
// DIB section), read where it lies instead of copied; any other bitmap is
// scanned as BuildRegionFromBitmap does.
RegionRects BuildRegionFromSkinBitmap(HBITMAP bitmap);
// The rectangle list as a region; an empty list gives an empty region (a
// window with that shape shows nothing).
HRGN CreateRegionFromRects(const RegionRects& shape);

// Moves a control so that its top-left corner is at (x, y) pixels from the
// page's top-left, keeping its size, and repaints it. (x, y) is given at 96
// DPI and placed at the page's scale.
void PlaceControl(CSkinnedPage& page, HWND control, int x, int y);
// Gives a control a size given at 96 DPI, at the page's scale, keeping its place.
void SizeControl(CSkinnedPage& page, HWND control, int width, int height);
