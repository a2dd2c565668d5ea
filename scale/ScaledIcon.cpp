#include "ScaledIcon.h"

#include "DisplayScale.h"
#include "Picture.h"
#include "Resample.h"

#include <cstring>
#include <vector>

namespace {

struct StoredImage {
    WORD resourceId = 0;
    int size = 0; // width (the stored images are square)
};

// The images of an icon or cursor group, from its directory: a 6-byte
// header, then 14 bytes an image, its resource id in the last two.
std::vector<StoredImage> GroupImages(HMODULE module, UINT id, bool icon)
{
    std::vector<StoredImage> images;
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), icon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    const DWORD size = found ? ::SizeofResource(module, found) : 0;
    if (!data || size < 6)
        return images;
    const WORD count = static_cast<WORD>(data[4] | (data[5] << 8));
    for (WORD i = 0; i < count && 6u + (i + 1u) * 14u <= size; ++i) {
        const BYTE* entry = data + 6 + i * 14;
        StoredImage image;
        // An icon entry gives its width in a byte (0 for 256), a cursor entry in a word.
        image.size = icon ? (entry[0] ? entry[0] : 256) : (entry[0] | (entry[1] << 8));
        image.resourceId = static_cast<WORD>(entry[12] | (entry[13] << 8));
        images.push_back(image);
    }
    return images;
}

HICON CreateStored(HMODULE module, const StoredImage& image, bool icon)
{
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(image.resourceId), icon ? RT_ICON : RT_CURSOR);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    auto* data = static_cast<BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data)
        return nullptr;
    return ::CreateIconFromResourceEx(data, ::SizeofResource(module, found), icon, 0x00030000, image.size, image.size,
                                      LR_DEFAULTCOLOR);
}

// The stored image to make `size` from: the same size, else the smallest
// larger one, else the largest.
const StoredImage* Best(const std::vector<StoredImage>& images, int size)
{
    const StoredImage* larger = nullptr;
    const StoredImage* largest = nullptr;
    for (const StoredImage& image : images) {
        if (image.size >= size && (!larger || image.size < larger->size))
            larger = &image;
        if (!largest || image.size > largest->size)
            largest = &image;
    }
    return larger ? larger : largest;
}

// The colour and alpha of an icon or cursor, 32 bits a pixel, top row first.
Picture32 Pixels(HICON handle, POINT* hotSpot)
{
    Picture32 out;
    ICONINFO info{};
    if (!::GetIconInfo(handle, &info))
        return out;
    BITMAP bm{};
    if (info.hbmColor && ::GetObjectW(info.hbmColor, sizeof bm, &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = -bm.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        out.width = bm.bmWidth;
        out.height = bm.bmHeight;
        out.bgra.resize(static_cast<size_t>(bm.bmWidth) * bm.bmHeight * 4);
        HDC screen = ::GetDC(nullptr);
        const int rows = ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), out.bgra.data(), &bi,
                                     DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        if (rows != bm.bmHeight)
            out = Picture32{};
    }
    *hotSpot = POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return out;
}

// An icon or cursor of 32-bit pixels with alpha; its mask marks the pixels
// less than half opaque.
HICON Create(const Picture32& picture, bool icon, POINT hotSpot)
{
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = picture.width;
    header.bV5Height = -picture.height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                        nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (!colour || !bits) {
        if (colour)
            ::DeleteObject(colour);
        return nullptr;
    }
    std::memcpy(bits, picture.bgra.data(), picture.bgra.size());
    const int maskStride = ((picture.width + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(maskStride) * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.bgra[(static_cast<size_t>(y) * picture.width + x) * 4 + 3] < 128)
                maskBits[static_cast<size_t>(y) * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    HBITMAP mask = ::CreateBitmap(picture.width, picture.height, 1, 1, maskBits.data());
    ICONINFO info{};
    info.fIcon = icon;
    info.xHotspot = static_cast<DWORD>(hotSpot.x);
    info.yHotspot = static_cast<DWORD>(hotSpot.y);
    info.hbmColor = colour;
    info.hbmMask = mask;
    HICON result = mask ? ::CreateIconIndirect(&info) : nullptr;
    ::DeleteObject(colour);
    if (mask)
        ::DeleteObject(mask);
    return result;
}

HICON LoadAt(HMODULE module, UINT id, int size, bool icon)
{
    if (size <= 0)
        return nullptr;
    const std::vector<StoredImage> images = GroupImages(module, id, icon);
    const StoredImage* best = Best(images, size);
    if (!best)
        return nullptr;
    HICON stored = CreateStored(module, *best, icon);
    if (!stored || best->size == size)
        return stored;
    POINT hotSpot{};
    const Picture32 source = Pixels(stored, &hotSpot);
    ::DestroyIcon(stored);
    if (source.Empty())
        return nullptr;
    Picture32 resized = ResampleAlpha(source, size, size);
    if (!icon) {
        // A cursor's outline stays crisp: its mask is one bit a pixel.
        for (size_t i = 3; i < resized.bgra.size(); i += 4)
            resized.bgra[i] = resized.bgra[i] >= 128 ? 255 : 0;
    }
    const POINT scaledHotSpot{::MulDiv(hotSpot.x, size, source.width), ::MulDiv(hotSpot.y, size, source.height)};
    return Create(resized, icon, scaledHotSpot);
}

} // namespace

HICON LoadIconAt(HMODULE module, UINT id, int size)
{
    return LoadAt(module, id, size, true);
}

HCURSOR LoadCursorAt(HMODULE module, UINT id, UINT dpi)
{
    return LoadAt(module, id, ScaleFigure(32, dpi), false);
}
