// The window shape scan on synthetic bitmaps: DIB sections of 8, 16, 24 and
// 32 bits per pixel painted pixel by pixel, and bitmaps in the screen's own
// format, so every pixel reader and the row padding are exercised.
#include "SkinnedPage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// What a test paints: true where the pixel is the see-through pure blue.
using BluePattern = std::function<bool(int x, int y)>;

// A bottom-up DIB section of the given depth. Blue pixels get the depth's
// see-through encoding, the others a grey that is no blue in any depth.
HBITMAP MakeDib(int bpp, int width, int height, const BluePattern& blue, bool topDown = false)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = topDown ? -height : height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bpp);
    info.header.biCompression = BI_RGB;
    if (bpp == 8) {
        info.header.biClrUsed = 256;
        info.colours[0] = RGBQUAD{255, 0, 0, 0};   // pure blue
        info.colours[1] = RGBQUAD{128, 128, 128, 0};
        info.colours[2] = RGBQUAD{254, 0, 0, 0};   // almost blue: opaque
    }
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                        nullptr, 0);
    if (!bitmap)
        return nullptr;
    const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    auto* bytes = static_cast<uint8_t*>(bits);
    // Padding bytes hold blue-looking garbage: the scan must never read them.
    std::memset(bytes, 0xFF, stride * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bytes + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const bool b = blue(x, y);
            switch (bpp) {
            case 32: {
                uint32_t v = b ? 0x000000FFu : 0x00808080u;
                std::memcpy(row + x * 4, &v, 4);
                break;
            }
            case 24:
                row[x * 3] = b ? 255 : 128;
                row[x * 3 + 1] = b ? 0 : 128;
                row[x * 3 + 2] = b ? 0 : 128;
                break;
            case 16: {
                uint16_t v = b ? 0x001F : 0x4210;
                std::memcpy(row + x * 2, &v, 2);
                break;
            }
            default:
                row[x] = b ? 0 : 1;
                break;
            }
        }
    }
    ::GdiFlush();
    return bitmap;
}

// A bitmap in the screen's own format, painted with GDI.
HBITMAP MakeScreenBitmap(int width, int height, const BluePattern& blue)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HDC mem = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ::SetPixelV(mem, x, y, blue(x, y) ? RGB(0, 0, 255) : RGB(128, 128, 128));
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    return bitmap;
}

struct Bitmap {
    explicit Bitmap(HBITMAP b) : handle(b) {}
    ~Bitmap() { ::DeleteObject(handle); }
    HBITMAP handle;
};

std::vector<RECT> Rects(std::initializer_list<RECT> list)
{
    return std::vector<RECT>(list);
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!::EqualRect(&a[i], &b[i]))
            return false;
    }
    return true;
}

class RegionBuilder : public ::testing::TestWithParam<int> {
protected:
    int bpp() const { return GetParam(); }
    RegionRects Scan(int width, int height, const BluePattern& blue)
    {
        Bitmap bitmap(MakeDib(bpp(), width, height, blue));
        EXPECT_NE(bitmap.handle, nullptr);
        return BuildRegionFromBitmap(bitmap.handle);
    }
};

TEST_P(RegionBuilder, AllBlueGivesAnEmptyShape)
{
    RegionRects shape = Scan(9, 6, [](int, int) { return true; });
    EXPECT_TRUE(shape.supported);
    EXPECT_EQ(shape.width, 9);
    EXPECT_EQ(shape.height, 6);
    EXPECT_TRUE(shape.rects.empty());
    fw::UniqueRgn region(CreateRegionFromRects(shape));
    ASSERT_TRUE(region);
    RECT box{};
    EXPECT_EQ(::GetRgnBox(region.get(), &box), NULLREGION);
}

TEST_P(RegionBuilder, NoBlueGivesOneRectanglePerRowOverTheWholeWidth)
{
    RegionRects shape = Scan(7, 4, [](int, int) { return false; });
    EXPECT_TRUE(SameRects(shape.rects, Rects({{0, 0, 7, 1}, {0, 1, 7, 2}, {0, 2, 7, 3}, {0, 3, 7, 4}})));
    fw::UniqueRgn region(CreateRegionFromRects(shape));
    RECT box{};
    EXPECT_EQ(::GetRgnBox(region.get(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 7);
    EXPECT_EQ(box.bottom, 4);
}

TEST_P(RegionBuilder, BlueInTheMiddleOfARowSplitsItIntoTwoRuns)
{
    // Width 7 leaves padding at the end of every row in 8, 16 and 24 bits.
    RegionRects shape = Scan(7, 3, [](int x, int y) { return y != 1 || (x >= 2 && x <= 4); });
    EXPECT_TRUE(SameRects(shape.rects, Rects({{0, 1, 2, 2}, {5, 1, 7, 2}})));
    fw::UniqueRgn region(CreateRegionFromRects(shape));
    EXPECT_TRUE(::PtInRegion(region.get(), 0, 1));
    EXPECT_TRUE(::PtInRegion(region.get(), 6, 1));
    EXPECT_FALSE(::PtInRegion(region.get(), 3, 1));
    EXPECT_FALSE(::PtInRegion(region.get(), 0, 0));
}

TEST_P(RegionBuilder, OnePixelWideColumnGivesOneRectanglePerRow)
{
    const int height = 11;
    RegionRects shape = Scan(6, height, [](int x, int) { return x != 4; });
    ASSERT_EQ(shape.rects.size(), static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        RECT expected{4, y, 5, y + 1};
        EXPECT_TRUE(::EqualRect(&shape.rects[y], &expected)) << "row " << y;
    }
}

TEST_P(RegionBuilder, RunsTouchingBothEdgesAndSinglePixelsAreKept)
{
    // Row 0: opaque, blue, opaque, blue, opaque; row 1: only the last pixel.
    RegionRects shape = Scan(5, 2, [](int x, int y) { return y == 0 ? (x % 2 == 1) : x != 4; });
    EXPECT_TRUE(SameRects(shape.rects, Rects({{0, 0, 1, 1}, {2, 0, 3, 1}, {4, 0, 5, 1}, {4, 1, 5, 2}})));
}

// The list has room for H rectangles and grows by 40 whenever it is full: on
// an 800 x 313 background, 0 to 41 rows split by one blue pixel fill it
// exactly, overflow it once and twice. No run may be lost or changed when the
// list grows, and the region made of the list is the picture's shape.
TEST_P(RegionBuilder, EveryRunSurvivesTheListGrowing)
{
    const int width = 800, height = 313, split = 400;
    for (int splitRows : {0, 1, 40, 41}) {
        SCOPED_TRACE(::testing::Message() << splitRows << " split rows");
        RegionRects shape = Scan(width, height, [&](int x, int y) { return y < splitRows && x == split; });
        std::vector<RECT> expected;
        for (int y = 0; y < height; ++y) {
            if (y < splitRows) {
                expected.push_back(RECT{0, y, split, y + 1});
                expected.push_back(RECT{split + 1, y, width, y + 1});
            } else {
                expected.push_back(RECT{0, y, width, y + 1});
            }
        }
        EXPECT_EQ(shape.rects.size(), expected.size());
        EXPECT_TRUE(SameRects(shape.rects, expected));

        fw::UniqueRgn region(CreateRegionFromRects(shape));
        ASSERT_NE(region.get(), nullptr);
        for (int y : {0, splitRows - 1, splitRows, height - 1}) {
            if (y < 0)
                continue;
            EXPECT_EQ(::PtInRegion(region.get(), split, y) != FALSE, y >= splitRows) << "row " << y;
            EXPECT_TRUE(::PtInRegion(region.get(), split - 1, y)) << "row " << y;
            EXPECT_TRUE(::PtInRegion(region.get(), split + 1, y)) << "row " << y;
            EXPECT_TRUE(::PtInRegion(region.get(), width - 1, y)) << "row " << y;
        }
        EXPECT_FALSE(::PtInRegion(region.get(), 0, height));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, RegionBuilder, ::testing::Values(8, 16, 24, 32),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "bpp";
                         });

TEST(RegionBuilderColours, OnlyExactPureBlueIsSeeThrough)
{
    // 8 bits: palette entry 2 is blue 254 and must stay opaque.
    {
        Bitmap bitmap(MakeDib(8, 3, 1, [](int, int) { return true; }));
        DIBSECTION ds{};
        ASSERT_TRUE(::GetObjectW(bitmap.handle, sizeof ds, &ds));
        static_cast<uint8_t*>(ds.dsBm.bmBits)[1] = 2;
        RegionRects shape = BuildRegionFromBitmap(bitmap.handle);
        EXPECT_TRUE(SameRects(shape.rects, Rects({{1, 0, 2, 1}})));
    }
    // 16 bits: 0x001E (blue one step darker) and 0x003F (a trace of green) are opaque.
    {
        Bitmap bitmap(MakeDib(16, 3, 1, [](int, int) { return true; }));
        DIBSECTION ds{};
        ASSERT_TRUE(::GetObjectW(bitmap.handle, sizeof ds, &ds));
        auto* px = static_cast<uint16_t*>(ds.dsBm.bmBits);
        px[0] = 0x001E;
        px[2] = 0x003F;
        RegionRects shape = BuildRegionFromBitmap(bitmap.handle);
        EXPECT_TRUE(SameRects(shape.rects, Rects({{0, 0, 1, 1}, {2, 0, 3, 1}})));
    }
    // 24 and 32 bits: a red or green trace makes the pixel opaque.
    for (int bpp : {24, 32}) {
        Bitmap bitmap(MakeDib(bpp, 3, 1, [](int, int) { return true; }));
        DIBSECTION ds{};
        ASSERT_TRUE(::GetObjectW(bitmap.handle, sizeof ds, &ds));
        auto* bytes = static_cast<uint8_t*>(ds.dsBm.bmBits);
        const int step = bpp / 8;
        bytes[0 * step + 1] = 1; // green 1
        bytes[2 * step + 2] = 1; // red 1
        RegionRects shape = BuildRegionFromBitmap(bitmap.handle);
        EXPECT_TRUE(SameRects(shape.rects, Rects({{0, 0, 1, 1}, {2, 0, 3, 1}}))) << bpp << " bits";
    }
}

TEST(RegionBuilderFormats, TopDownAndBottomUpSectionsGiveTheSameShape)
{
    // A DIB section is scanned in its own memory, whichever way its rows run.
    const BluePattern blue = [](int x, int y) { return x < y || (x + y) % 5 == 0; };
    for (int bpp : {8, 16, 24, 32}) {
        Bitmap bottomUp(MakeDib(bpp, 9, 6, blue));
        Bitmap topDown(MakeDib(bpp, 9, 6, blue, true));
        const RegionRects want = BuildRegionFromBitmap(bottomUp.handle);
        const RegionRects got = BuildRegionFromBitmap(topDown.handle);
        EXPECT_TRUE(got.supported) << bpp << " bits";
        EXPECT_EQ(got.height, 6) << bpp << " bits";
        EXPECT_TRUE(SameRects(got.rects, want.rects)) << bpp << " bits";
        // Row 0 is the top: only pixels 0 and 5 are blue there, so the first
        // run starts at 1 (the bottom row's first run starts at 6).
        ASSERT_FALSE(got.rects.empty());
        EXPECT_EQ(got.rects.front().top, 0);
        EXPECT_EQ(got.rects.front().left, 1) << bpp << " bits";
    }
}

TEST(RegionBuilderFormats, ScreenFormatBitmapIsScannedAsTheScreenHoldsIt)
{
    Bitmap bitmap(MakeScreenBitmap(10, 4, [](int x, int y) { return x < 2 || (y == 3 && x > 6); }));
    RegionRects shape = BuildRegionFromBitmap(bitmap.handle);
    EXPECT_TRUE(shape.supported);
    EXPECT_TRUE(SameRects(shape.rects, Rects({{2, 0, 10, 1}, {2, 1, 10, 2}, {2, 2, 10, 3}, {2, 3, 7, 4}})));
}

TEST(RegionBuilderFormats, UnsupportedDepthsAndNoBitmapGiveNoShapeWithoutFailing)
{
    for (int bpp : {1, 4}) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[16];
        } info{};
        info.header = {sizeof(BITMAPINFOHEADER), 8, 8, 1, static_cast<WORD>(bpp), BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        Bitmap bitmap(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                         nullptr, 0));
        ASSERT_NE(bitmap.handle, nullptr);
        RegionRects shape = BuildRegionFromBitmap(bitmap.handle);
        EXPECT_FALSE(shape.supported) << bpp << " bits";
        EXPECT_TRUE(shape.rects.empty());
        EXPECT_EQ(shape.width, 8);
    }
    RegionRects none = BuildRegionFromBitmap(nullptr);
    EXPECT_FALSE(none.supported);
    EXPECT_EQ(none.width, 0);
}

} // namespace
