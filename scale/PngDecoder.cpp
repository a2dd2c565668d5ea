#include "PngDecoder.h"

#include "Inflate.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <emmintrin.h>
#include <memory>
#include <new>
#include <utility>
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

// A pixel's three bytes as the low three 16-bit lanes (the fourth lane holds
// the byte after them, which is read but never used), and back: a pixel is
// written as exactly its own three bytes, the next pixel's bytes being still
// filtered.
inline __m128i LoadPixel(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(v)), _mm_setzero_si128());
}

inline void StorePixel(uint8_t* p, __m128i v)
{
    const uint32_t bytes = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
    const uint16_t low = static_cast<uint16_t>(bytes);
    std::memcpy(p, &low, 2);
    p[2] = static_cast<uint8_t>(bytes >> 16);
}

inline __m128i Abs16(__m128i v)
{
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

inline __m128i Choose(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// The Paeth filter undone along a row, the three colours of a pixel at once
// (most rows of the stored pictures use it). Of the pixel to the left (a),
// above (b) and above left (c) the predictor is the one nearest to
// a + b - c, ties going to a, then b; the first pixel has nothing to its
// left: its predictor is the one above. Both rows must have one readable
// byte after their `length`.
void UnpaethRow(uint8_t* row, const uint8_t* prior, size_t length)
{
    constexpr size_t bpp = 3;
    for (size_t i = 0; i < bpp; ++i)
        row[i] = static_cast<uint8_t>(row[i] + prior[i]);
    __m128i a = LoadPixel(row);
    __m128i c = LoadPixel(prior);
    const __m128i mask8 = _mm_set1_epi16(0xFF);
    for (size_t i = bpp; i + bpp <= length; i += bpp) {
        const __m128i b = LoadPixel(prior + i);
        const __m128i pa = Abs16(_mm_sub_epi16(b, c));
        const __m128i pb = Abs16(_mm_sub_epi16(a, c));
        const __m128i pc = Abs16(_mm_sub_epi16(_mm_add_epi16(a, b), _mm_add_epi16(c, c)));
        const __m128i ab = Choose(_mm_cmplt_epi16(pb, pa), b, a);
        const __m128i predicted = Choose(_mm_cmplt_epi16(pc, _mm_min_epi16(pa, pb)), c, ab);
        a = _mm_and_si128(_mm_add_epi16(LoadPixel(row + i), predicted), mask8);
        StorePixel(row + i, a);
        c = b;
    }
}

// Undoes a row's filter in place; `prior` is the row above, unfiltered (all
// zeros for the first row). Three bytes a pixel; both rows have one readable
// byte after their `length`.
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
    case 4:
        UnpaethRow(row, prior, length);
        return true;
    default:
        return false;
    }
}

// Takes the decompressed rows as they come (each its filter byte, then
// three bytes a pixel), undoes their filters and writes them as blue, green,
// red to the destination, keeping only the row above.
class RowSink final : public InflateSink {
public:
    // Rows go to top + y * stride, or, with `top` null, to `each` one by one.
    RowSink(uint8_t* top, ptrdiff_t stride, uint32_t width, uint32_t height, const PngRowFunction* each = nullptr)
        : m_top(top), m_stride(stride), m_each(each), m_width(width), m_height(height), m_rowBytes(size_t{width} * 3),
          m_out(top ? nullptr : new (std::nothrow) uint8_t[m_rowBytes]),
          // Filter byte, pixels, and one byte more for the unfiltering's
          // reads of four bytes at a time; the row above the first is zeros.
          m_current(new (std::nothrow) uint8_t[m_rowBytes + 2]()), m_prior(new (std::nothrow) uint8_t[m_rowBytes + 2]())
    {
    }

    bool Ready() const { return m_current && m_prior && (m_top || m_out); }
    size_t FilteredSize() const { return (m_rowBytes + 1) * m_height; }
    bool Done() const { return m_row == m_height && m_fill == 0; }

    bool Take(const uint8_t* data, size_t n) override
    {
        while (n) {
            const size_t part = std::min(n, m_rowBytes + 1 - m_fill);
            std::memcpy(m_current.get() + m_fill, data, part);
            m_fill += part;
            data += part;
            n -= part;
            if (m_fill == m_rowBytes + 1 && !FinishRow())
                return false;
        }
        return true;
    }

private:
    bool FinishRow()
    {
        if (m_row == m_height || !Unfilter(m_current[0], m_current.get() + 1, m_prior.get() + 1, m_rowBytes))
            return false;
        uint8_t* out = m_top ? m_top + m_stride * static_cast<ptrdiff_t>(m_row) : m_out.get();
        const uint8_t* in = m_current.get() + 1;
        for (uint32_t x = 0; x < m_width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        if (!m_top && !(*m_each)(m_row, m_out.get()))
            return false;
        std::swap(m_current, m_prior);
        m_fill = 0;
        ++m_row;
        return true;
    }

    uint8_t* m_top;
    ptrdiff_t m_stride;
    const PngRowFunction* m_each;
    uint32_t m_width;
    uint32_t m_height;
    size_t m_rowBytes;
    std::unique_ptr<uint8_t[]> m_out; // the row handed to m_each
    std::unique_ptr<uint8_t[]> m_current;
    std::unique_ptr<uint8_t[]> m_prior;
    size_t m_fill = 0;
    uint32_t m_row = 0;
};

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

namespace {

bool Decode(const uint8_t* data, size_t size, uint8_t* top, ptrdiff_t stride, uint32_t width, uint32_t height,
            const PngRowFunction* each)
{
    uint32_t w = 0;
    uint32_t h = 0;
    if (!ReadPngSize(data, size, &w, &h) || w != width || h != height)
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
    RowSink rows(top, stride, w, h, each);
    return rows.Ready() && InflateZlib(compressed.data(), compressed.size(), rows.FilteredSize(), rows) &&
           rows.Done();
}

} // namespace

bool DecodePng(const uint8_t* data, size_t size, uint8_t* top, ptrdiff_t stride, uint32_t width, uint32_t height)
{
    return top && Decode(data, size, top, stride, width, height, nullptr);
}

bool DecodePngRows(const uint8_t* data, size_t size, uint32_t width, uint32_t height, const PngRowFunction& each)
{
    return each && Decode(data, size, nullptr, 0, width, height, &each);
}
