#include "PngDecoder.h"

#include "Inflate.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Far above the largest picture (a 2x page is 1600 x 1092).
constexpr uint32_t kMaxSide = 16384;

uint32_t BigEndian(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// The chunks after the signature: length, type, data, CRC.
struct Chunk {
    const uint8_t* type = nullptr;
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

bool NextChunk(const uint8_t*& at, const uint8_t* end, Chunk& chunk)
{
    if (end - at < 12)
        return false;
    chunk.length = BigEndian(at);
    if (chunk.length > static_cast<size_t>(end - at) - 12)
        return false;
    chunk.type = at + 4;
    chunk.data = at + 8;
    at += 12 + static_cast<size_t>(chunk.length);
    return true;
}

bool IsType(const Chunk& chunk, const char* name)
{
    return std::memcmp(chunk.type, name, 4) == 0;
}

// The Paeth predictor: of the pixel to the left (a), above (b) and above
// left (c), the one nearest to a + b - c.
inline int Paeth(int a, int b, int c)
{
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    const int ab = pb < pa ? b : a;
    return pc < std::min(pa, pb) ? c : ab;
}

// Undoes a row's filter in place; `prior` is the row above, unfiltered (all
// zeros for the first row). Three bytes a pixel.
bool Unfilter(int filter, uint8_t* row, const uint8_t* prior, size_t length)
{
    constexpr size_t bpp = 3;
    if (length < bpp)
        return filter >= 0 && filter <= 4;
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (size_t i = bpp; i < length; ++i)
            row[i] = static_cast<uint8_t>(row[i] + row[i - bpp]);
        return true;
    case 2:
        for (size_t i = 0; i < length; ++i)
            row[i] = static_cast<uint8_t>(row[i] + prior[i]);
        return true;
    case 3:
        for (size_t i = 0; i < bpp; ++i)
            row[i] = static_cast<uint8_t>(row[i] + (prior[i] >> 1));
        for (size_t i = bpp; i < length; ++i)
            row[i] = static_cast<uint8_t>(row[i] + ((row[i - bpp] + prior[i]) >> 1));
        return true;
    case 4: {
        // The first pixel has nothing to its left: its predictor is the one
        // above. The three colours are three chains of their own, their last
        // pixels kept at hand.
        int a0 = row[0] = static_cast<uint8_t>(row[0] + prior[0]);
        int a1 = row[1] = static_cast<uint8_t>(row[1] + prior[1]);
        int a2 = row[2] = static_cast<uint8_t>(row[2] + prior[2]);
        int c0 = prior[0];
        int c1 = prior[1];
        int c2 = prior[2];
        for (size_t i = bpp; i + bpp <= length; i += bpp) {
            const int b0 = prior[i];
            const int b1 = prior[i + 1];
            const int b2 = prior[i + 2];
            a0 = static_cast<uint8_t>(row[i] + Paeth(a0, b0, c0));
            a1 = static_cast<uint8_t>(row[i + 1] + Paeth(a1, b1, c1));
            a2 = static_cast<uint8_t>(row[i + 2] + Paeth(a2, b2, c2));
            row[i] = static_cast<uint8_t>(a0);
            row[i + 1] = static_cast<uint8_t>(a1);
            row[i + 2] = static_cast<uint8_t>(a2);
            c0 = b0;
            c1 = b1;
            c2 = b2;
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace

bool ReadPngSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height)
{
    if (!data || size < 8 + 25 || std::memcmp(data, kSignature, 8) != 0)
        return false;
    const uint8_t* at = data + 8;
    Chunk header;
    if (!NextChunk(at, data + size, header) || !IsType(header, "IHDR") || header.length != 13)
        return false;
    const uint8_t* h = header.data;
    const uint32_t w = BigEndian(h);
    const uint32_t ht = BigEndian(h + 4);
    // 8 bits a sample, colour type 2 (RGB), deflate, the standard filters, no interlace.
    if (w == 0 || ht == 0 || w > kMaxSide || ht > kMaxSide || h[8] != 8 || h[9] != 2 || h[10] != 0 || h[11] != 0 ||
        h[12] != 0)
        return false;
    *width = w;
    *height = ht;
    return true;
}

bool DecodePng(const uint8_t* data, size_t size, uint8_t* top, ptrdiff_t stride, uint32_t width, uint32_t height)
{
    uint32_t w = 0;
    uint32_t h = 0;
    if (!top || !ReadPngSize(data, size, &w, &h) || w != width || h != height)
        return false;
    std::vector<uint8_t> compressed;
    const uint8_t* at = data + 8;
    const uint8_t* end = data + size;
    Chunk chunk;
    bool ended = false;
    while (!ended && NextChunk(at, end, chunk)) {
        if (IsType(chunk, "IDAT"))
            compressed.insert(compressed.end(), chunk.data, chunk.data + chunk.length);
        ended = IsType(chunk, "IEND");
    }
    if (!ended || compressed.empty())
        return false;
    // Each row: its filter byte, then three bytes a pixel.
    const size_t rowBytes = size_t{w} * 3;
    const size_t filteredSize = (rowBytes + 1) * h;
    std::unique_ptr<uint8_t[]> filtered(new (std::nothrow) uint8_t[filteredSize]);
    if (!filtered || !InflateZlib(compressed.data(), compressed.size(), filtered.get(), filteredSize))
        return false;
    std::vector<uint8_t> zeros(rowBytes, 0);
    const uint8_t* prior = zeros.data();
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = filtered.get() + (rowBytes + 1) * y;
        if (!Unfilter(row[0], row + 1, prior, rowBytes))
            return false;
        uint8_t* out = top + stride * static_cast<ptrdiff_t>(y);
        const uint8_t* in = row + 1;
        for (uint32_t x = 0; x < w; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        prior = row + 1;
    }
    return true;
}
