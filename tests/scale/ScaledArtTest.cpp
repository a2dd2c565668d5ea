// The program's undoing of the row filters against a plain rendering of
// their rule, on rows made to hit the predictor's ties and the wrap-around of
// the byte sums, and the decoded sheets given back once a burst of pictures
// is over.
#include "DisplayScale.h"
#include "PngDecoder.h"
#include "ScaledArt.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFFu;
    while (n--) {
        crc ^= *p++;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    PutBigEndian(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian(png, Crc32(png.data() + start, png.size() - start));
}

// An RGB PNG of the given filtered rows (each its filter byte, then three
// bytes a pixel), its zlib stream made of stored blocks.
std::vector<uint8_t> PngOfFilteredRows(uint32_t width, uint32_t height, const std::vector<uint8_t>& filtered)
{
    std::vector<uint8_t> zlib{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(filtered.size() - at, 65535);
        zlib.push_back(at + n == filtered.size() ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(n));
        zlib.push_back(static_cast<uint8_t>(n >> 8));
        zlib.push_back(static_cast<uint8_t>(~n));
        zlib.push_back(static_cast<uint8_t>(~n >> 8));
        zlib.insert(zlib.end(), filtered.begin() + static_cast<ptrdiff_t>(at),
                    filtered.begin() + static_cast<ptrdiff_t>(at + n));
        at += n;
    } while (at < filtered.size());
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : filtered) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

// The filters' rule, byte by byte as it is written down, giving RGB rows.
std::vector<uint8_t> UnfilterPlainly(uint32_t width, uint32_t height, const std::vector<uint8_t>& filtered)
{
    const size_t rowBytes = size_t{width} * 3;
    std::vector<uint8_t> rgb(rowBytes * height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t filter = filtered[(rowBytes + 1) * y];
        const uint8_t* in = &filtered[(rowBytes + 1) * y + 1];
        uint8_t* out = &rgb[rowBytes * y];
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= 3 ? out[i - 3] : 0;
            const int b = y > 0 ? out[i - rowBytes] : 0;
            const int c = i >= 3 && y > 0 ? out[i - rowBytes - 3] : 0;
            int predicted = 0;
            switch (filter) {
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) / 2; break;
            case 4: {
                const int p = a + b - c;
                const int pa = std::abs(p - a);
                const int pb = std::abs(p - b);
                const int pc = std::abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                break;
            }
            default: break;
            }
            out[i] = static_cast<uint8_t>(in[i] + predicted);
        }
    }
    return rgb;
}

TEST(RowFilters, EveryFilterAtEveryWidthGivesWhatTheRuleGives)
{
    // Few distinct values make the predictor's distances tie often; the
    // extremes make a + b - c leave 0..255 and the sums wrap.
    static constexpr uint8_t kValues[] = {0, 1, 2, 127, 128, 129, 253, 254, 255};
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return kValues[(seed >> 16) % (sizeof kValues)];
    };
    for (uint32_t first = 0; first < 5; ++first)
    // 700 pixels by 50 rows: more than the inflater's window, in several
    // stored blocks.
    for (uint32_t width : {1u, 2u, 3u, 5u, 16u, 33u, 700u}) {
        const uint32_t height = 50;
        std::vector<uint8_t> filtered;
        for (uint32_t y = 0; y < height; ++y) {
            // Each filter on the first row (nothing above) and after every other.
            filtered.push_back(static_cast<uint8_t>((first + y + y / 5) % 5));
            for (uint32_t i = 0; i < width * 3; ++i)
                filtered.push_back(next());
        }
        SCOPED_TRACE("width " + std::to_string(width) + ", first filter " + std::to_string(first));
        const std::vector<uint8_t> png = PngOfFilteredRows(width, height, filtered);
        const std::vector<uint8_t> rgb = UnfilterPlainly(width, height, filtered);
        std::vector<uint8_t> bgr(rgb.size() + 1, 0xAA);
        ASSERT_TRUE(DecodePng(png.data(), png.size(), bgr.data(), static_cast<ptrdiff_t>(width) * 3, width, height));
        bool same = true;
        for (size_t i = 0; i < rgb.size() && same; i += 3)
            same = bgr[i] == rgb[i + 2] && bgr[i + 1] == rgb[i + 1] && bgr[i + 2] == rgb[i];
        EXPECT_TRUE(same);
        EXPECT_EQ(bgr.back(), 0xAA) << "written past the last row";
    }
}

TEST(RowFilters, AnUnknownFilterIsRefused)
{
    const std::vector<uint8_t> filtered{4, 1, 2, 3, 5, 9, 9, 9};
    const std::vector<uint8_t> png = PngOfFilteredRows(1, 2, filtered);
    uint8_t rows[6];
    EXPECT_FALSE(DecodePng(png.data(), png.size(), rows, 3, 1, 2));
}

// ---------------------------------------------------------------------------
// What is kept between the pictures of a burst

// The first picture the 2x set keeps on a sheet.
UINT FirstSheetPicture()
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(192), L"SHEETMAP");
    const auto* map = static_cast<const uint8_t*>(found ? ::LockResource(::LoadResource(module, found)) : nullptr);
    return map && ::SizeofResource(module, found) >= 14 ? static_cast<UINT>(map[2] | (map[3] << 8)) : 0;
}

// Runs the thread's message loop until nothing is kept any more; false when
// that has not happened after a long while.
bool PumpUntilReleased()
{
    const DWORD start = ::GetTickCount();
    while (ScaledArtHeldBytes() != 0) {
        if (::GetTickCount() - start > 20000)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    return true;
}

std::vector<uint8_t> Pixels(const PictureView& view)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < view.height; ++y)
        out.insert(out.end(), view.top + view.stride * y, view.top + view.stride * y + view.width * 3);
    return out;
}

TEST(ScaledArtKeeping, TheSheetsAndResampledPicturesGoOnceTheLoopIsIdleAndComeBackTheSame)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    const UINT id = FirstSheetPicture();
    ASSERT_NE(id, 0u);
    ReleaseScaledArt();
    // 192 DPI shows a sheet's own pixels; 240 DPI resamples them.
    for (UINT dpi : {192u, 240u}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        PictureView view;
        Picture24 owned;
        ASSERT_TRUE(PictureAt(module, id, dpi, &view, &owned));
        const std::vector<uint8_t> first = Pixels(view);
        EXPECT_GT(ScaledArtHeldBytes(), 0u);
        // A second picture of the burst is served from what is kept.
        ASSERT_TRUE(PictureAt(module, id, dpi, &view, &owned));
        EXPECT_GT(ScaledArtHeldBytes(), 0u);
        ASSERT_TRUE(PumpUntilReleased());
        ASSERT_TRUE(PictureAt(module, id, dpi, &view, &owned));
        EXPECT_EQ(Pixels(view), first);
        EXPECT_GT(ScaledArtHeldBytes(), 0u);
        ReleaseScaledArt();
        EXPECT_EQ(ScaledArtHeldBytes(), 0u);
    }
}

} // namespace
