#pragma once
// CMemDC: an off-screen drawing surface that stands in for a target context
// over one rectangle. Everything drawn into it uses the target's logical
// coordinates; at destruction the rectangle is copied to the target in one
// piece, so a repaint reaches the screen without flicker.
#include "DC.h"
#include "Handles.h"

#include <optional>

class CMemDC : public CDC {
public:
    // Covers `rect` (target logical coordinates) or, when null, the target's
    // clip box. copyBackground: start from the target's current pixels;
    // otherwise start filled with the target's background colour. For a
    // printer context no surface is made and drawing goes to the target.
    explicit CMemDC(HDC target, const RECT* rect = nullptr, bool copyBackground = false);
    ~CMemDC() override;

    CMemDC* operator->() { return this; }
    const RECT& GetRect() const { return m_rect; }
    // True when drawing goes into an off-screen bitmap (false for printing
    // or when the surface could not be made).
    bool IsOffscreen() const { return m_offscreen; }

private:
    HDC m_target;
    RECT m_rect{};
    // Destroyed in reverse: the bitmap is deselected, then deleted, then
    // the memory context goes with the base.
    fw::UniqueBitmap m_bitmap;
    std::optional<fw::ScopedSelect> m_selected;
    bool m_offscreen = false;
};
