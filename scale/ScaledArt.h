#pragma once
// The program's pictures at every scale. Three sets are stored, drawn by the
// art generator from the same drawing: 1x (96 DPI: plain bitmaps and the
// page backgrounds as PNG), 1.5x (144 DPI) and 2x (192 DPI). A larger set
// keeps its page backgrounds as PNG (PageWording.h) and its other pictures
// packed into a few PNG sheets, decoded only when that set is in use. Any
// other scale is made from the nearest larger set (from the 2x set above it)
// by area averaging, once per picture and scale.
//
// Every picture is scaled like a pixel figure: at `dpi` a picture of w x h
// pixels at 96 DPI has ScaleFigure(w, dpi) x ScaleFigure(h, dpi) pixels.
// Used from the interface thread only.
#include "Picture.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The DPI of the stored set the pictures at `dpi` are made from.
UINT SourceSetDpi(UINT dpi);

// The size of picture `id` at `dpi`, from stored headers only; false when
// the program has no such picture.
bool PictureSizeAt(HMODULE module, UINT id, UINT dpi, SIZE* size);

// Rows of a picture somewhere in memory: row y (0 the top) at top + y * stride.
struct PictureView {
    const uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
};

// Picture `id` at `dpi`, decoded and resampled as needed; false when it is
// missing or cannot be decoded. The view points into what is kept for the
// scale (the sheets, the resampled small pictures) or into `owned`; it is
// good until the next call.
bool PictureAt(HMODULE module, UINT id, UINT dpi, PictureView* view, Picture24* owned);

// Forgets the decoded sheets and resampled pictures (they are rebuilt when
// next asked for). The interface thread's message loop does so by itself
// half a second after they were last needed.
void ReleaseScaledArt();

// The bytes of decoded sheets and resampled pictures kept at the moment.
size_t ScaledArtHeldBytes();
