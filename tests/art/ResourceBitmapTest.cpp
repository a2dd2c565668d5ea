// Every bitmap the program stores (plain or as PNG), loaded by the program's loader,
// against the picture the generator drew (its BMP file, loaded the way the
// program loaded bitmaps when it stored them uncompressed): same size, same
// kind of bitmap and the same pixels.
#include "Handles.h"
#include "ResourceBitmap.h"

#include <gtest/gtest.h>

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

std::vector<UINT> StoredIds()
{
    std::vector<UINT> ids = StoredIds(kPngResourceType);
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
    // compressed ones.
    EXPECT_EQ(StoredIds(kPngResourceType).size(), 15u);
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

TEST(StoredBitmaps, AMissingIdGivesNoBitmap)
{
    // Id 1 is the manifest: a resource, but no stored picture.
    EXPECT_EQ(LoadSkinBitmap(1), nullptr);
    EXPECT_EQ(LoadSkinBitmap(1, BitmapKind::DibSection), nullptr);
    SIZE size{};
    EXPECT_FALSE(SkinBitmapSize(1, &size));
}

} // namespace
