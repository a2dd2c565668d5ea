#pragma once
// The PNG pictures of the larger art sets (8-bit RGB, not interlaced, as the
// art generator writes them), decoded by the program itself: several times
// faster than the system's imaging component under Wine, and the same on
// every system.
#include <cstddef>
#include <cstdint>
#include <functional>

// Width and height from the header; false when `data` is no PNG of that kind.
bool ReadPngSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height);

// Decodes the picture into 24-bit blue-green-red rows: row y (0 the top) at
// `top + y * stride` (a negative stride for bottom-up rows). `width` and
// `height` must be the picture's own. False, with the rows undefined, when
// the data is damaged or no PNG of that kind.
bool DecodePng(const uint8_t* data, size_t size, uint8_t* top, ptrdiff_t stride, uint32_t width, uint32_t height);

// Row y (0 the top) of a picture being decoded, as 24-bit blue-green-red
// pixels, good during the call; false stops the decoding.
using PngRowFunction = std::function<bool(uint32_t y, const uint8_t* bgr)>;
// Decodes the picture row by row into `each`, in order, without a buffer of
// the whole picture. False when the data is damaged or no PNG of that kind,
// or `each` stopped it.
bool DecodePngRows(const uint8_t* data, size_t size, uint32_t width, uint32_t height, const PngRowFunction& each);
