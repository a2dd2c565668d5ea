#pragma once
// The program's bitmaps are stored as PNG resources (type "PNG", one per
// bitmap id) to keep the program small; these functions decode one with the
// system's imaging component into the kind of bitmap the code draws with.
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

// Decodes the PNG resource `id` of `module`; null when it is missing or
// cannot be decoded. The caller owns the bitmap.
HBITMAP LoadPngBitmap(HINSTANCE module, UINT id, BitmapKind kind);

// LoadPngBitmap from the program's own resources.
HBITMAP LoadSkinBitmap(UINT id, BitmapKind kind = BitmapKind::Device);

// The size of the program's PNG resource `id`, read from its header without
// decoding it; false when it is missing or not a PNG.
bool SkinBitmapSize(UINT id, SIZE* size);
