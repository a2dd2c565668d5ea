#pragma once
// The program's bitmaps. At 96 DPI the small ones are plain bitmap
// resources, the large ones (the page backgrounds) PNG resources
// (PageWording.h). At any other DPI they come from the larger art sets
// (ScaledArt.h). Every PNG is decoded by the program itself, straight into
// the bitmap's rows. Either way these functions give the kind of bitmap the
// code draws with.
#include "DisplayScale.h"

#include <windows.h>

enum class BitmapKind {
    // A bitmap compatible with the screen, as LoadImage without flags gives.
    Device,
    // A 24-bit bottom-up DIB section, as LoadImage with LR_CREATEDIBSECTION
    // gives for a 24-bit bitmap file.
    DibSection,
};

// The resource type the bitmaps are stored under.
inline constexpr wchar_t kPngResourceType[] = L"PNG";

// Loads the program's bitmap `id` at `dpi`; null when it is missing or
// cannot be decoded. The caller owns the bitmap.
HBITMAP LoadSkinBitmap(UINT id, BitmapKind kind = BitmapKind::Device, UINT dpi = kBaseDpi);

// Puts the program's bitmap `id` at `dpi` into `dib`, a DIB section of the
// picture's size that LoadSkinBitmap gave as BitmapKind::DibSection: another
// language's background takes the memory of the one it replaces instead of
// fresh memory. `shownId` names the picture `dib` holds (0: unknown); when it
// is another language of the same page, only the wording is decoded. False
// when `dib` is not such a bitmap of that size (it is then left alone) or the
// picture cannot be decoded (its rows are then undefined).
bool ReloadSkinBitmap(UINT id, UINT shownId, HBITMAP dib, UINT dpi = kBaseDpi);

// The size of the program's bitmap `id` at `dpi`, read from headers without
// decoding it; false when it is missing or unreadable.
bool SkinBitmapSize(UINT id, SIZE* size, UINT dpi = kBaseDpi);
