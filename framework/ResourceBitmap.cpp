#include "ResourceBitmap.h"

#include "Dialog.h"
#include "Handles.h"
#include "PageWording.h"
#include "ScaledArt.h"

#include <cstdint>
#include <cstring>

namespace {

// Rows of a 24-bit bottom-up DIB section: its top row and the distance from
// one row to the next (negative).
struct DibRows {
    uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
};

bool RowsOf(HBITMAP bitmap, DibRows* rows)
{
    DIBSECTION dib{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof dib, &dib) != static_cast<int>(sizeof dib) || !dib.dsBm.bmBits ||
        dib.dsBmih.biBitCount != 24 || dib.dsBmih.biHeight <= 0 || dib.dsBmih.biWidth <= 0)
        return false;
    const ptrdiff_t rowBytes = dib.dsBm.bmWidthBytes;
    rows->width = dib.dsBmih.biWidth;
    rows->height = dib.dsBmih.biHeight;
    rows->top = static_cast<uint8_t*>(dib.dsBm.bmBits) + rowBytes * (rows->height - 1);
    rows->stride = -rowBytes;
    return true;
}

// A 24-bit bottom-up DIB section of width x height, as a bitmap file stores
// its pixels.
HBITMAP CreateDib24(int width, int height, DibRows* rows)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits || !RowsOf(bitmap.get(), rows))
        return nullptr;
    return bitmap.release();
}

// The bitmap of the kind asked for, from a DIB section holding its pixels.
HBITMAP AsKind(fw::UniqueBitmap dib, int width, int height, BitmapKind kind)
{
    ::GdiFlush();
    if (kind == BitmapKind::DibSection || !dib)
        return dib.release();
    fw::ScopedWindowDC screen(nullptr);
    fw::UniqueBitmap device(::CreateCompatibleBitmap(screen.get(), width, height));
    fw::UniqueMemDC from(::CreateCompatibleDC(screen.get()));
    fw::UniqueMemDC to(::CreateCompatibleDC(screen.get()));
    if (!device || !from || !to)
        return nullptr;
    {
        fw::ScopedSelect selectFrom(from.get(), dib.get());
        fw::ScopedSelect selectTo(to.get(), device.get());
        ::BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY);
    }
    return device.release();
}

// Writes picture `id` at `dpi` into rows of its size: a page background of a
// stored set is decoded straight into them, any other picture copied from
// what ScaledArt keeps or makes for the call.
bool WritePicture(HMODULE module, UINT id, UINT dpi, const DibRows& rows)
{
    uint32_t w = 0;
    uint32_t h = 0;
    if (SourceSetDpi(dpi) == dpi && StoredBackgroundSize(module, id, dpi, &w, &h))
        return static_cast<int>(w) == rows.width && static_cast<int>(h) == rows.height &&
               DecodeStoredBackground(module, id, dpi, rows.top, rows.stride, w, h);
    PictureView view;
    Picture24 owned;
    if (!PictureAt(module, id, dpi, &view, &owned) || view.width != rows.width || view.height != rows.height)
        return false;
    for (int y = 0; y < view.height; ++y)
        std::memcpy(rows.top + rows.stride * y, view.top + view.stride * y, static_cast<size_t>(view.width) * 3);
    return true;
}

} // namespace

HBITMAP LoadSkinBitmap(UINT id, BitmapKind kind, UINT dpi)
{
    HINSTANCE module = FrameworkResourceHandle();
    // A small picture at 1x is a plain bitmap resource, loaded as it is stored.
    if (dpi == kBaseDpi && ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP))
        return static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                                 kind == BitmapKind::DibSection ? LR_CREATEDIBSECTION : 0));
    SIZE size{};
    if (!SkinBitmapSize(id, &size, dpi))
        return nullptr;
    DibRows rows;
    fw::UniqueBitmap dib(CreateDib24(size.cx, size.cy, &rows));
    if (!dib || !WritePicture(module, id, dpi, rows))
        return nullptr;
    return AsKind(std::move(dib), size.cx, size.cy, kind);
}

bool ReloadSkinBitmap(UINT id, UINT shownId, HBITMAP dib, UINT dpi)
{
    DibRows rows;
    SIZE size{};
    if (!RowsOf(dib, &rows) || !SkinBitmapSize(id, &size, dpi) || size.cx != rows.width || size.cy != rows.height)
        return false;
    // Whatever GDI still has to draw into the bitmap is drawn first.
    ::GdiFlush();
    HMODULE module = FrameworkResourceHandle();
    // Another language of the page on show: its wording alone.
    if (shownId && SourceSetDpi(dpi) == dpi &&
        SwitchStoredBackground(module, id, shownId, dpi, rows.top, rows.stride, static_cast<uint32_t>(rows.width),
                               static_cast<uint32_t>(rows.height)))
        return true;
    return WritePicture(module, id, dpi, rows);
}

bool SkinBitmapSize(UINT id, SIZE* size, UINT dpi)
{
    HINSTANCE module = FrameworkResourceHandle();
    if (dpi != kBaseDpi)
        return PictureSizeAt(module, id, dpi, size);
    if (HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP)) {
        // A bitmap resource is a bitmap file without its file header.
        HGLOBAL loaded = ::LoadResource(module, found);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(loaded ? ::LockResource(loaded) : nullptr);
        if (!header || ::SizeofResource(module, found) < sizeof(BITMAPINFOHEADER) ||
            header->biSize < sizeof(BITMAPINFOHEADER))
            return false;
        size->cx = header->biWidth;
        size->cy = header->biHeight < 0 ? -header->biHeight : header->biHeight;
        return size->cx > 0 && size->cy > 0;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    if (!StoredBackgroundSize(module, id, kBaseDpi, &w, &h))
        return false;
    size->cx = static_cast<LONG>(w);
    size->cy = static_cast<LONG>(h);
    return size->cx > 0 && size->cy > 0;
}
