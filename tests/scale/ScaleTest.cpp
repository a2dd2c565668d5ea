// The rounding rule every pixel figure is scaled by, the program's own PNG
// decoding (against the system's imaging component), the icon and cursor at
// the sizes the scales ask for, and the awareness the manifest declares.
#include "DisplayScale.h"
#include "Handles.h"
#include "Inflate.h"
#include "PngDecoder.h"
#include "ResourceBitmap.h"
#include "ScaledIcon.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The same table is checked against the art generator's rule (test_scale.py):
// (value at 96 DPI, DPI, scaled value).
struct Case {
    int value;
    UINT dpi;
    int scaled;
};
constexpr Case kRule[] = {
    {800, 144, 1200}, {313, 144, 470}, {546, 144, 819}, {313, 120, 391}, {1, 120, 1},  {2, 120, 3},
    {3, 120, 4},      {29, 144, 44},   {15, 144, 23},   {313, 168, 548}, {7, 168, 12}, {43, 216, 97},
    {-3, 144, -5},    {-1, 120, -1},   {0, 288, 0},     {800, 288, 2400}, {87, 96, 87}, {137, 192, 274},
};

TEST(ScaleRule, HalvesRoundAwayFromZeroAsInTheArtGenerator)
{
    for (const Case& c : kRule) {
        SCOPED_TRACE(std::to_string(c.value) + " at " + std::to_string(c.dpi));
        EXPECT_EQ(ScaleFigure(c.value, c.dpi), c.scaled);
    }
    const RECT r = ScaleFigure(RECT{590, 281, 669, 359}, 144);
    EXPECT_EQ(r.left, 885);
    EXPECT_EQ(r.top, 422) << "421.5";
    EXPECT_EQ(r.right, 1004) << "1003.5";
    EXPECT_EQ(r.bottom, 539) << "538.5";
}

// ---------------------------------------------------------------------------
// The program's PNG decoding against the system's imaging component

struct Rgb {
    UINT width = 0;
    UINT height = 0;
    std::vector<uint8_t> bgr; // top-down, no padding
};

Rgb DecodeWithImagingComponent(const uint8_t* data, size_t size)
{
    Rgb out;
    IWICImagingFactory* factory = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory))))
        return out;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    if (SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&out.width, &out.height))) {
        out.bgr.resize(size_t{out.width} * out.height * 3);
        if (FAILED(converter->CopyPixels(nullptr, out.width * 3, static_cast<UINT>(out.bgr.size()), out.bgr.data())))
            out = Rgb{};
    }
    for (IUnknown* p : std::initializer_list<IUnknown*>{converter, frame, decoder, stream, factory}) {
        if (p)
            p->Release();
    }
    return out;
}

struct StoredPng {
    std::wstring name;
    const uint8_t* data;
    size_t size;
};

// Every PNG the program stores: the page backgrounds and their wording of
// every set, and the larger sets' sheets.
std::vector<StoredPng> StoredPngs()
{
    std::vector<StoredPng> pngs;
    HMODULE module = ::GetModuleHandleW(nullptr);
    for (const wchar_t* type : {L"PNG", L"PNG144", L"PNG192", L"WORDS96", L"WORDS144", L"WORDS192", L"SHEET144",
                                L"SHEET192"}) {
        std::vector<UINT> ids;
        ::EnumResourceNamesW(
            module, type,
            [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR lp) -> BOOL {
                if (IS_INTRESOURCE(name))
                    reinterpret_cast<std::vector<UINT>*>(lp)->push_back(
                        static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&ids));
        for (UINT id : ids) {
            HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
            const void* data = ::LockResource(::LoadResource(module, found));
            pngs.push_back({std::wstring(type) + L" " + std::to_wstring(id), static_cast<const uint8_t*>(data),
                            ::SizeofResource(module, found)});
        }
    }
    return pngs;
}

class OwnDecoding : public ::testing::Test {
protected:
    void SetUp() override { m_com = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
    void TearDown() override
    {
        if (m_com)
            ::CoUninitialize();
    }
    bool m_com = false;
};

TEST_F(OwnDecoding, GivesTheImagingComponentsPixelsForEveryStoredPng)
{
    const std::vector<StoredPng> pngs = StoredPngs();
    // In each of the three sets 5 whole backgrounds and 15 wording grids;
    // four sheets in each larger set.
    ASSERT_EQ(pngs.size(), (5u + 15) * 3 + 4 * 2);
    for (const StoredPng& png : pngs) {
        SCOPED_TRACE(std::string(png.name.begin(), png.name.end()));
        const Rgb want = DecodeWithImagingComponent(png.data, png.size);
        ASSERT_GT(want.width, 0u);
        uint32_t w = 0;
        uint32_t h = 0;
        ASSERT_TRUE(ReadPngSize(png.data, png.size, &w, &h));
        EXPECT_EQ(w, want.width);
        EXPECT_EQ(h, want.height);
        // Bottom-up with padded rows, as a DIB section holds them.
        const size_t stride = (size_t{w} * 3 + 3) & ~size_t{3};
        std::vector<uint8_t> dib(stride * h, 0xAA);
        ASSERT_TRUE(DecodePng(png.data, png.size, dib.data() + stride * (h - 1), -static_cast<ptrdiff_t>(stride), w, h));
        bool same = true;
        for (uint32_t y = 0; y < h && same; ++y)
            same = std::memcmp(dib.data() + stride * (h - 1 - y), want.bgr.data() + size_t{y} * w * 3, size_t{w} * 3) == 0;
        EXPECT_TRUE(same);
    }
}

TEST_F(OwnDecoding, RefusesDamagedDataWithoutReadingPastIt)
{
    const std::vector<StoredPng> pngs = StoredPngs();
    ASSERT_FALSE(pngs.empty());
    const StoredPng& png = pngs.front();
    uint32_t w = 0;
    uint32_t h = 0;
    ASSERT_TRUE(ReadPngSize(png.data, png.size, &w, &h));
    std::vector<uint8_t> rows(size_t{w} * h * 3);
    // Cut short anywhere: in the header, in the compressed rows, before the end.
    for (size_t cut : {size_t{20}, png.size / 3, png.size / 2, png.size - 20}) {
        std::vector<uint8_t> shortened(png.data, png.data + cut);
        EXPECT_FALSE(DecodePng(shortened.data(), shortened.size(), rows.data(), w * 3, w, h)) << cut;
    }
    // A flipped bit in the compressed rows: the stream no longer checks out.
    std::vector<uint8_t> flipped(png.data, png.data + png.size);
    flipped[flipped.size() / 2] ^= 0x10;
    EXPECT_FALSE(DecodePng(flipped.data(), flipped.size(), rows.data(), w * 3, w, h));
    // The wrong size for the rows given.
    EXPECT_FALSE(DecodePng(png.data, png.size, rows.data(), w * 3, w - 1, h));
    const uint8_t notPng[40] = {1, 2, 3};
    EXPECT_FALSE(ReadPngSize(notPng, sizeof notPng, &w, &h));
}

TEST_F(OwnDecoding, RowByRowGivesEveryRowOnceInOrderAndCanBeStopped)
{
    // A wording grid and a whole background: the rows handed out one by one
    // are the rows of the whole decode.
    const std::vector<StoredPng> pngs = StoredPngs();
    for (const StoredPng& png : pngs) {
        if (png.name.rfind(L"WORDS192 ", 0) != 0 && png.name.rfind(L"PNG192 ", 0) != 0)
            continue;
        SCOPED_TRACE(std::string(png.name.begin(), png.name.end()));
        uint32_t w = 0;
        uint32_t h = 0;
        ASSERT_TRUE(ReadPngSize(png.data, png.size, &w, &h));
        std::vector<uint8_t> whole(size_t{w} * h * 3);
        ASSERT_TRUE(DecodePng(png.data, png.size, whole.data(), w * 3, w, h));
        uint32_t next = 0;
        bool same = true;
        ASSERT_TRUE(DecodePngRows(png.data, png.size, w, h, [&](uint32_t y, const uint8_t* bgr) {
            same = same && y == next++ && std::memcmp(bgr, whole.data() + size_t{y} * w * 3, size_t{w} * 3) == 0;
            return true;
        }));
        EXPECT_TRUE(same);
        EXPECT_EQ(next, h);
        // Stopped after three rows: no more come, and the decode says so.
        next = 0;
        EXPECT_FALSE(DecodePngRows(png.data, png.size, w, h, [&](uint32_t, const uint8_t*) { return ++next < 3; }));
        EXPECT_EQ(next, 3u);
        // The wrong size, and damaged data.
        EXPECT_FALSE(DecodePngRows(png.data, png.size, w + 1, h, [](uint32_t, const uint8_t*) { return true; }));
        std::vector<uint8_t> shortened(png.data, png.data + png.size / 2);
        EXPECT_FALSE(DecodePngRows(shortened.data(), shortened.size(), w, h, [](uint32_t, const uint8_t*) { return true; }));
    }
}

TEST(Inflate, StoredFixedAndDynamicBlocksAndTheirChecks)
{
    // zlib streams: "abc" stored, "abcabcabcabc" with the fixed code (three
    // letters and a repeat), and their checks. (The stored PNGs above are
    // the dynamic blocks.)
    const uint8_t stored[] = {0x78, 0x01, 0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c', 0x02, 0x4D, 0x01, 0x27};
    uint8_t out[16] = {};
    ASSERT_TRUE(InflateZlib(stored, sizeof stored, out, 3));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "abc");
    EXPECT_FALSE(InflateZlib(stored, sizeof stored, out, 2)) << "more data than room";
    EXPECT_FALSE(InflateZlib(stored, sizeof stored, out, 4)) << "less data than expected";
    const uint8_t fixed[] = {0x78, 0xDA, 0x4B, 0x4C, 0x4A, 0x4E, 0x84, 0x21, 0x00, 0x1D, 0xE0, 0x04, 0x99};
    ASSERT_TRUE(InflateZlib(fixed, sizeof fixed, out, 12));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 12), "abcabcabcabc");
    uint8_t wrongCheck[sizeof fixed];
    std::memcpy(wrongCheck, fixed, sizeof fixed);
    wrongCheck[sizeof fixed - 1] ^= 1;
    EXPECT_FALSE(InflateZlib(wrongCheck, sizeof wrongCheck, out, 12));
}

// ---------------------------------------------------------------------------
// Icon and cursor

SIZE IconSize(HICON icon, POINT* hotSpot = nullptr)
{
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return SIZE{};
    BITMAP bm{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    if (hotSpot)
        *hotSpot = POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return SIZE{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
}

TEST(ScaledIcons, TheTrayIconComesAtEverySmallIconSize)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    for (UINT dpi : {96u, 120u, 144u, 168u, 192u, 216u, 240u, 288u}) {
        SCOPED_TRACE(dpi);
        const int size = SmallIconSize(dpi);
        EXPECT_EQ(size, ScaleFigure(16, dpi));
        fw::UniqueIcon icon(LoadIconAt(module, IDR_MAINFRAME, size));
        const SIZE got = IconSize(icon.get());
        EXPECT_EQ(got.cx, size);
        EXPECT_EQ(got.cy, size);
    }
    EXPECT_EQ(LoadIconAt(module, 1, 16), nullptr) << "no icon under that id";
}

TEST(ScaledIcons, TheKnobCursorIsScaledWithItsHotSpot)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    for (UINT dpi : {96u, 120u, 144u, 168u, 192u, 288u}) {
        SCOPED_TRACE(dpi);
        fw::UniqueIcon cursor(reinterpret_cast<HICON>(LoadCursorAt(module, IDC_KNOB_CURSOR, dpi)));
        POINT hot{};
        const SIZE got = IconSize(cursor.get(), &hot);
        EXPECT_EQ(got.cx, ScaleFigure(32, dpi));
        EXPECT_EQ(got.cy, ScaleFigure(32, dpi));
        // The centre of the turning arrows, (15, 15) at 96 DPI.
        EXPECT_NEAR(hot.x, ScaleFigure(15, dpi), 1);
        EXPECT_NEAR(hot.y, ScaleFigure(15, dpi), 1);
    }
}

// ---------------------------------------------------------------------------
// Awareness

TEST(Manifest, DeclaresPerMonitorAwarenessWithItsFallbacks)
{
    HRSRC found = ::FindResourceW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    const std::string manifest(data, ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm"
                            "</dpiAware>"),
              std::string::npos);
    // The system took it: this process (which carries the same manifest) is
    // per-monitor aware.
    using GetContextFn = HANDLE(WINAPI*)();
    using AwarenessFn = int(WINAPI*)(HANDLE);
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    auto context = reinterpret_cast<GetContextFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto awareness = reinterpret_cast<AwarenessFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(context && awareness);
    EXPECT_EQ(awareness(context()), 2) << "DPI_AWARENESS_PER_MONITOR_AWARE";
}

} // namespace
