// Every bitmap the program stores (plain or as PNG), loaded by the program's loader,
// against the picture the generator drew (its BMP file, loaded the way the
// program loaded bitmaps when it stored them uncompressed): same size, same
// kind of bitmap and the same pixels. At the larger sets' scales, against
// the generator's pictures of that set; between and above them, against the
// area average of the nearest larger set's picture.
#include "Handles.h"
#include "ResourceBitmap.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <wincodec.h>

#include <cmath>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The generator's folder as a Windows path.
std::wstring ArtFolder()
{
    const std::string unixPath = ZEPHRIN_ART_DIR;
    using ToDos = LPWSTR(CDECL*)(LPCSTR);
    auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (toDos) {
        if (LPWSTR dos = toDos(unixPath.c_str())) {
            std::wstring path = dos;
            ::HeapFree(::GetProcessHeap(), 0, dos);
            return path;
        }
    }
    return std::wstring(unixPath.begin(), unixPath.end());
}

std::vector<UINT> StoredIds(LPCWSTR type)
{
    std::vector<UINT> ids;
    ::EnumResourceNamesW(
        ::GetModuleHandleW(nullptr), type,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR lp) -> BOOL {
            if (IS_INTRESOURCE(name))
                reinterpret_cast<std::vector<UINT>*>(lp)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// Every picture: the plain bitmaps and the page backgrounds (stored whole or
// as their wording, each with a map of its wording).
std::vector<UINT> StoredIds()
{
    std::vector<UINT> ids = StoredIds(L"WORDMAP96");
    for (UINT id : StoredIds(kPngResourceType)) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    std::vector<UINT> plain = StoredIds(RT_BITMAP);
    ids.insert(ids.end(), plain.begin(), plain.end());
    return ids;
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // top-down 32-bit
};

Picture Read(HBITMAP bitmap)
{
    Picture p;
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm))
        return p;
    p.width = bm.bmWidth;
    p.height = bm.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    p.pixels.resize(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(p.height), p.pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != p.height)
        p.pixels.clear();
    // All four bytes count: a fourth byte other than 0 makes a 32-bit bitmap
    // one with alpha for the system's controls.
    return p;
}

// The first differing pixel as text, or empty when the pictures are the same.
std::string Difference(const Picture& got, const Picture& want)
{
    if (got.width != want.width || got.height != want.height)
        return "size " + std::to_string(got.width) + "x" + std::to_string(got.height) + " instead of " +
               std::to_string(want.width) + "x" + std::to_string(want.height);
    if (got.pixels.size() != want.pixels.size() || got.pixels.empty())
        return "pixels unreadable";
    for (size_t i = 0; i < got.pixels.size(); ++i) {
        if (got.pixels[i] != want.pixels[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X instead of %06X", static_cast<int>(i % got.width),
                          static_cast<int>(i / got.width), got.pixels[i], want.pixels[i]);
            return text;
        }
    }
    return {};
}

TEST(StoredBitmaps, EveryGeneratedPictureIsStoredOnce)
{
    std::vector<UINT> ids = StoredIds();
    int files = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((ArtFolder() + L"\\*.bmp").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << "no generated pictures in " << ZEPHRIN_ART_DIR;
    do {
        ++files;
        UINT id = static_cast<UINT>(std::wcstoul(found.cFileName, nullptr, 10));
        EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id << " is not stored";
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    EXPECT_EQ(static_cast<size_t>(files), ids.size());
    EXPECT_EQ(ids.size(), 170u);
    // The fifteen page backgrounds (five pages, three languages) are the
    // compressed ones: each page's family picture whole, and every one's
    // wording, in every set.
    EXPECT_EQ(StoredIds(kPngResourceType).size(), 5u);
    for (const wchar_t* type : {L"PNG144", L"PNG192"})
        EXPECT_EQ(StoredIds(type).size(), 5u);
    for (const wchar_t* type : {L"WORDS96", L"WORDMAP96", L"WORDS144", L"WORDMAP144", L"WORDS192", L"WORDMAP192"})
        EXPECT_EQ(StoredIds(type).size(), 15u);
}

TEST(StoredBitmaps, DecodeToTheGeneratedPicturesPixelForPixel)
{
    const std::wstring folder = ArtFolder();
    for (UINT id : StoredIds()) {
        SCOPED_TRACE(id);
        const std::wstring file = folder + L"\\" + std::to_wstring(id) + L".bmp";
        // As the program loaded its bitmaps before: a screen-compatible bitmap
        // and a DIB section of the file's own format.
        fw::UniqueBitmap wantDevice(static_cast<HBITMAP>(
            ::LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        fw::UniqueBitmap wantDib(static_cast<HBITMAP>(
            ::LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
        ASSERT_TRUE(wantDevice && wantDib);
        fw::UniqueBitmap device(LoadSkinBitmap(id, BitmapKind::Device));
        fw::UniqueBitmap dib(LoadSkinBitmap(id, BitmapKind::DibSection));
        ASSERT_TRUE(device && dib);

        const Picture want = Read(wantDevice.get());
        EXPECT_EQ(Difference(Read(device.get()), want), "");
        // A page hidden at start takes its size from the header alone.
        SIZE header{};
        EXPECT_TRUE(SkinBitmapSize(id, &header));
        EXPECT_EQ(header.cx, want.width);
        EXPECT_EQ(header.cy, want.height);
        EXPECT_EQ(Difference(Read(dib.get()), Read(wantDib.get())), "");

        // The same kind of bitmap: depth and, for the DIB section, its layout.
        BITMAP a{}, b{};
        ::GetObjectW(device.get(), sizeof a, &a);
        ::GetObjectW(wantDevice.get(), sizeof b, &b);
        EXPECT_EQ(a.bmBitsPixel, b.bmBitsPixel);
        EXPECT_EQ(a.bmBits, nullptr);
        DIBSECTION da{}, db{};
        ASSERT_EQ(::GetObjectW(dib.get(), sizeof da, &da), static_cast<int>(sizeof da));
        ASSERT_EQ(::GetObjectW(wantDib.get(), sizeof db, &db), static_cast<int>(sizeof db));
        EXPECT_EQ(da.dsBmih.biBitCount, db.dsBmih.biBitCount);
        EXPECT_EQ(da.dsBmih.biHeight, db.dsBmih.biHeight);
        EXPECT_EQ(da.dsBm.bmWidthBytes, db.dsBm.bmWidthBytes);
    }
}

// A PNG file of the generator's, by the system's imaging component, as
// 32-bit pixels with a zero fourth byte (as Read gives them).
Picture ReadPngFile(const std::wstring& file)
{
    Picture p;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT w = 0;
    UINT h = 0;
    if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&w, &h))) {
        p.width = static_cast<int>(w);
        p.height = static_cast<int>(h);
        p.pixels.resize(size_t{w} * h);
        if (FAILED(converter->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(p.pixels.data()))))
            p.pixels.clear();
        for (uint32_t& px : p.pixels)
            px &= 0x00FFFFFF;
    }
    for (IUnknown* u : std::initializer_list<IUnknown*>{converter, frame, decoder, factory}) {
        if (u)
            u->Release();
    }
    return p;
}

class ScaledSets : public ::testing::Test {
protected:
    void SetUp() override { m_com = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
    void TearDown() override
    {
        if (m_com)
            ::CoUninitialize();
    }
    static Picture Generated(UINT setDpi, UINT id)
    {
        return ReadPngFile(ArtFolder() + L"\\" + std::to_wstring(setDpi) + L"\\" + std::to_wstring(id) + L".png");
    }
    bool m_com = false;
};

TEST_F(ScaledSets, LoadToTheGeneratedPicturesOfTheirSet)
{
    for (UINT dpi : {144u, 192u}) {
        for (UINT id : StoredIds()) {
            SCOPED_TRACE(std::to_string(dpi) + " DPI, picture " + std::to_string(id));
            const Picture want = Generated(dpi, id);
            ASSERT_GT(want.width, 0);
            fw::UniqueBitmap device(LoadSkinBitmap(id, BitmapKind::Device, dpi));
            fw::UniqueBitmap dib(LoadSkinBitmap(id, BitmapKind::DibSection, dpi));
            ASSERT_TRUE(device && dib);
            EXPECT_EQ(Difference(Read(device.get()), want), "");
            EXPECT_EQ(Difference(Read(dib.get()), want), "");
            SIZE header{};
            EXPECT_TRUE(SkinBitmapSize(id, &header, dpi));
            EXPECT_EQ(header.cx, want.width);
            EXPECT_EQ(header.cy, want.height);
            DIBSECTION section{};
            ASSERT_EQ(::GetObjectW(dib.get(), sizeof section, &section), static_cast<int>(sizeof section));
            EXPECT_EQ(section.dsBmih.biBitCount, 24);
            EXPECT_GT(section.dsBmih.biHeight, 0) << "bottom-up, as a bitmap file";
            BITMAP bm{};
            ::GetObjectW(device.get(), sizeof bm, &bm);
            EXPECT_EQ(bm.bmBits, nullptr) << "a screen-compatible bitmap";
        }
    }
}

// The area average of a picture (see-through pure blue left out, and kept
// where it covers at least half of a pixel), computed pixel by pixel.
uint32_t AreaAverage(const Picture& s, int w, int h, int x, int y, bool* tie)
{
    const double sx = static_cast<double>(s.width) / w;
    const double sy = static_cast<double>(s.height) / h;
    double sum[3] = {};
    double opaque = 0;
    for (int v = static_cast<int>(y * sy); v < s.height && v < (y + 1) * sy; ++v) {
        const double oy = std::min((y + 1) * sy, v + 1.0) - std::max(y * sy, static_cast<double>(v));
        for (int u = static_cast<int>(x * sx); u < s.width && u < (x + 1) * sx; ++u) {
            const double ox = std::min((x + 1) * sx, u + 1.0) - std::max(x * sx, static_cast<double>(u));
            const uint32_t px = s.pixels[static_cast<size_t>(v) * s.width + u];
            if (px == 0x0000FF || ox <= 0 || oy <= 0)
                continue;
            opaque += ox * oy;
            for (int c = 0; c < 3; ++c)
                sum[c] += ox * oy * ((px >> (8 * c)) & 0xFF);
        }
    }
    const double coverage = opaque / (sx * sy);
    *tie = std::fabs(coverage - 0.5) < 1e-3;
    if (coverage < 0.5)
        return 0x0000FF;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c)
        out |= static_cast<uint32_t>(std::lround(sum[c] / opaque)) << (8 * c);
    return out;
}

TEST_F(ScaledSets, BetweenAndAboveTheSetsPicturesAreAreaAveragesOfTheNearestLargerSet)
{
    struct Case {
        UINT dpi;
        UINT set;
    };
    // A page background (with its outline), the knob face, an environment
    // picture and a page button; 125 % and 175 % from the set above, 250 %
    // enlarged from 2x.
    for (const Case& c : {Case{120, 144}, Case{168, 192}, Case{240, 192}}) {
        for (UINT id : {138u, 165u, 221u, 327u}) {
            SCOPED_TRACE(std::to_string(c.dpi) + " DPI, picture " + std::to_string(id));
            fw::UniqueBitmap oneX(LoadSkinBitmap(id, BitmapKind::DibSection));
            const Picture one = Read(oneX.get());
            fw::UniqueBitmap bitmap(LoadSkinBitmap(id, BitmapKind::DibSection, c.dpi));
            const Picture got = Read(bitmap.get());
            ASSERT_EQ(got.width, ::MulDiv(one.width, static_cast<int>(c.dpi), 96));
            ASSERT_EQ(got.height, ::MulDiv(one.height, static_cast<int>(c.dpi), 96));
            SIZE header{};
            EXPECT_TRUE(SkinBitmapSize(id, &header, c.dpi));
            EXPECT_EQ(header.cx, got.width);
            EXPECT_EQ(header.cy, got.height);
            const Picture source = Generated(c.set, id);
            int off = 0;
            for (int y = 0; y < got.height; ++y) {
                for (int x = 0; x < got.width; ++x) {
                    bool tie = false;
                    const uint32_t want = AreaAverage(source, got.width, got.height, x, y, &tie);
                    const uint32_t have = got.pixels[static_cast<size_t>(y) * got.width + x];
                    if (tie)
                        continue;
                    bool within = (want == 0x0000FF) == (have == 0x0000FF);
                    for (int ch = 0; ch < 3 && within; ++ch)
                        within = std::abs(static_cast<int>((want >> (8 * ch)) & 0xFF) -
                                        static_cast<int>((have >> (8 * ch)) & 0xFF)) <= 1;
                    off += within ? 0 : 1;
                }
            }
            EXPECT_EQ(off, 0);
        }
    }
}

TEST(StoredBitmaps, EveryLanguageSwitchOfAShownBackgroundEqualsThatLanguagesOwnLoad)
{
    // A language switch puts the next background into the bitmap on show:
    // every page, from every language to every other, in every stored set
    // (the wording alone), between the sets and above them (whole).
    const UINT pages[5][3] = {{140, 139, 138}, {246, 245, 244}, {131, 130, 129}, {137, 136, 135}, {326, 325, 324}};
    for (UINT dpi : {96u, 120u, 144u, 192u, 240u}) {
        const bool everyPage = dpi == 96 || dpi == 144 || dpi == 192;
        for (const auto& page : pages) {
            if (!everyPage && page[0] != 140)
                continue;
            fw::UniqueBitmap want[3];
            for (int l = 0; l < 3; ++l)
                want[l].reset(LoadSkinBitmap(page[l], BitmapKind::DibSection, dpi));
            for (int from = 0; from < 3; ++from) {
                for (int to = 0; to < 3; ++to) {
                    SCOPED_TRACE(std::to_string(dpi) + " DPI, " + std::to_string(page[from]) + " to " +
                                 std::to_string(page[to]));
                    fw::UniqueBitmap shown(LoadSkinBitmap(page[from], BitmapKind::DibSection, dpi));
                    ASSERT_TRUE(shown && want[to]);
                    DIBSECTION before{};
                    ::GetObjectW(shown.get(), sizeof before, &before);
                    ASSERT_TRUE(ReloadSkinBitmap(page[to], page[from], shown.get(), dpi));
                    EXPECT_EQ(Difference(Read(shown.get()), Read(want[to].get())), "");
                    DIBSECTION after{};
                    ::GetObjectW(shown.get(), sizeof after, &after);
                    EXPECT_EQ(after.dsBm.bmBits, before.dsBm.bmBits) << "the same memory";
                }
            }
            // Without knowing what the bitmap holds, the whole picture.
            fw::UniqueBitmap unknown(LoadSkinBitmap(page[1], BitmapKind::DibSection, dpi));
            ASSERT_TRUE(ReloadSkinBitmap(page[2], 0, unknown.get(), dpi));
            EXPECT_EQ(Difference(Read(unknown.get()), Read(want[2].get())), "");
            // Told it holds another page's background, the same.
            ASSERT_TRUE(ReloadSkinBitmap(page[0], page[0] == 140 ? 131 : 140, unknown.get(), dpi));
            EXPECT_EQ(Difference(Read(unknown.get()), Read(want[0].get())), "");
        }
    }
    // A bitmap of another size, or of another kind, is refused and left alone.
    fw::UniqueBitmap other(LoadSkinBitmap(138, BitmapKind::DibSection, 144));
    const Picture untouched = Read(other.get());
    EXPECT_FALSE(ReloadSkinBitmap(139, 138, other.get(), 96));
    EXPECT_EQ(Difference(Read(other.get()), untouched), "");
    fw::UniqueBitmap device(LoadSkinBitmap(138, BitmapKind::Device));
    EXPECT_FALSE(ReloadSkinBitmap(139, 138, device.get(), 96));
    EXPECT_FALSE(ReloadSkinBitmap(1, 138, other.get(), 144));
    EXPECT_FALSE(ReloadSkinBitmap(139, 138, nullptr, 96));
}

TEST(StoredBitmaps, AMissingIdGivesNoBitmap)
{
    // Id 1 is the manifest: a resource, but no stored picture.
    EXPECT_EQ(LoadSkinBitmap(1), nullptr);
    EXPECT_EQ(LoadSkinBitmap(1, BitmapKind::DibSection), nullptr);
    SIZE size{};
    EXPECT_FALSE(SkinBitmapSize(1, &size));
    // Nor at another scale (1 is also a sheet of the larger sets, no picture).
    for (UINT dpi : {120u, 144u, 192u, 288u}) {
        EXPECT_EQ(LoadSkinBitmap(1, BitmapKind::DibSection, dpi), nullptr);
        EXPECT_FALSE(SkinBitmapSize(1, &size, dpi));
    }
}

} // namespace
