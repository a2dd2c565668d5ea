#include "ResourceBitmap.h"

#include "ComPtr.h"
#include "Dialog.h"
#include "Handles.h"
#include "PngDecoder.h"
#include "ScaledArt.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Joins the calling thread to COM for the decode when no one has yet (the
// imaging component is a COM server); leaves it as it was afterwards.
class ComForDecode {
public:
    ComForDecode()
    {
        HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        m_joined = SUCCEEDED(hr); // S_FALSE too: balanced by CoUninitialize
    }
    ~ComForDecode()
    {
        if (m_joined)
            ::CoUninitialize();
    }
    ComForDecode(const ComForDecode&) = delete;
    ComForDecode& operator=(const ComForDecode&) = delete;

private:
    bool m_joined = false;
};

struct Pixels {
    UINT width = 0;
    UINT height = 0;
    std::vector<uint8_t> bgrx; // top-down rows of 4-byte pixels
};

// One imaging factory for the program's whole life: a factory for each of the
// dozens of pictures a page loads cost about a tenth of the start. The thread
// that creates it keeps one reference on the multithreaded apartment that it
// never gives back, so the apartment and the factory in it outlive every
// window that leaves COM before the program ends.
IWICImagingFactory* SharedFactory()
{
    static std::mutex lock;
    static IWICImagingFactory* factory = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (!factory) {
        const bool joined = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory)))) {
            factory = nullptr;
            if (joined)
                ::CoUninitialize();
        }
    }
    return factory;
}

// A PNG opened for reading in one pixel format.
struct PngSource {
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> pixels;
    UINT width = 0;
    UINT height = 0;
};

bool OpenPng(IWICImagingFactory* factory, const void* png, DWORD size, REFWICPixelFormatGUID format, PngSource& src)
{
    if (FAILED(factory->CreateStream(src.stream.put())) ||
        FAILED(src.stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(png)), size)))
        return false;
    if (FAILED(factory->CreateDecoderFromStream(src.stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                src.decoder.put())))
        return false;
    if (FAILED(src.decoder->GetFrame(0, src.frame.put())))
        return false;
    if (FAILED(factory->CreateFormatConverter(src.pixels.put())) ||
        FAILED(src.pixels->Initialize(src.frame.get(), format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom)))
        return false;
    return SUCCEEDED(src.pixels->GetSize(&src.width, &src.height)) && src.width > 0 && src.height > 0 &&
           src.width <= 16384 && src.height <= 16384;
}

bool Decode(const void* png, DWORD size, Pixels& out)
{
    ComForDecode com;
    IWICImagingFactory* factory = SharedFactory();
    PngSource src;
    if (!factory || !OpenPng(factory, png, size, GUID_WICPixelFormat32bppBGR, src))
        return false;
    out.width = src.width;
    out.height = src.height;
    const UINT stride = out.width * 4;
    out.bgrx.resize(static_cast<size_t>(stride) * out.height);
    if (FAILED(src.pixels->CopyPixels(nullptr, stride, static_cast<UINT>(out.bgrx.size()), out.bgrx.data())))
        return false;
    // The fourth byte must be 0, as in a bitmap loaded from a 24-bit file: a
    // 32-bit bitmap with anything there counts as one with alpha (a picture
    // control, for one, then shows a premultiplied copy instead).
    for (size_t i = 3; i < out.bgrx.size(); i += 4)
        out.bgrx[i] = 0;
    return true;
}

// A 24-bit bottom-up DIB section decoded straight into its own rows, as a
// bitmap file stores them: no copy of the whole picture on the way.
HBITMAP DecodeDibSection(const void* png, DWORD size)
{
    ComForDecode com;
    IWICImagingFactory* factory = SharedFactory();
    PngSource src;
    if (!factory || !OpenPng(factory, png, size, GUID_WICPixelFormat24bppBGR, src))
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(src.width);
    info.bmiHeader.biHeight = static_cast<LONG>(src.height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return nullptr;
    const UINT stride = ((src.width * 24 + 31) / 32) * 4;
    auto* rows = static_cast<BYTE*>(bits);
    for (UINT y = 0; y < src.height; ++y) {
        const WICRect line{0, static_cast<INT>(y), static_cast<INT>(src.width), 1};
        if (FAILED(src.pixels->CopyPixels(&line, stride, stride, rows + static_cast<size_t>(stride) * (src.height - 1 - y))))
            return nullptr;
    }
    ::GdiFlush();
    return bitmap.release();
}

HBITMAP MakeDeviceBitmap(const Pixels& px)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(px.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(px.height); // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    fw::ScopedWindowDC screen(nullptr);
    return ::CreateDIBitmap(screen.get(), &info.bmiHeader, CBM_INIT, px.bgrx.data(), &info, DIB_RGB_COLORS);
}

HBITMAP LoadPngBitmap(HINSTANCE module, HRSRC found, BitmapKind kind)
{
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0)
        return nullptr;
    if (kind == BitmapKind::DibSection)
        return DecodeDibSection(data, size);
    Pixels px;
    return Decode(data, size, px) ? MakeDeviceBitmap(px) : nullptr;
}

// A 24-bit bottom-up DIB section of width x height; `rows` gets its top row
// and the distance from one row to the next (negative: bottom-up).
HBITMAP CreateDib24(int width, int height, uint8_t** top, ptrdiff_t* stride)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap)
            ::DeleteObject(bitmap);
        return nullptr;
    }
    const ptrdiff_t rowBytes = ((static_cast<ptrdiff_t>(width) * 24 + 31) / 32) * 4;
    *top = static_cast<uint8_t*>(bits) + rowBytes * (height - 1);
    *stride = -rowBytes;
    return bitmap;
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

// A bitmap at a scale other than 1x: a page background of a larger set is
// decoded straight into its rows; every other picture is copied from what
// ScaledArt keeps or made for the call.
HBITMAP LoadScaledBitmap(HINSTANCE module, UINT id, BitmapKind kind, UINT dpi)
{
    const UINT set = SourceSetDpi(dpi);
    const uint8_t* png = nullptr;
    size_t size = 0;
    uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    if (set == dpi && StoredPngAt(module, id, set, &png, &size)) {
        uint32_t w = 0;
        uint32_t h = 0;
        if (!ReadPngSize(png, size, &w, &h))
            return nullptr;
        fw::UniqueBitmap dib(CreateDib24(static_cast<int>(w), static_cast<int>(h), &top, &stride));
        if (!dib || !DecodePng(png, size, top, stride, w, h))
            return nullptr;
        return AsKind(std::move(dib), static_cast<int>(w), static_cast<int>(h), kind);
    }
    PictureView view;
    Picture24 owned;
    if (!PictureAt(module, id, dpi, &view, &owned))
        return nullptr;
    fw::UniqueBitmap dib(CreateDib24(view.width, view.height, &top, &stride));
    if (!dib)
        return nullptr;
    for (int y = 0; y < view.height; ++y)
        std::memcpy(top + stride * y, view.top + view.stride * y, static_cast<size_t>(view.width) * 3);
    return AsKind(std::move(dib), view.width, view.height, kind);
}

} // namespace

HBITMAP LoadSkinBitmap(UINT id, BitmapKind kind, UINT dpi)
{
    HINSTANCE module = FrameworkResourceHandle();
    if (dpi != kBaseDpi)
        return LoadScaledBitmap(module, id, kind, dpi);
    // A small picture is a plain bitmap resource, loaded as it is stored.
    if (::FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP))
        return static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                                 kind == BitmapKind::DibSection ? LR_CREATEDIBSECTION : 0));
    HRSRC png = ::FindResourceW(module, MAKEINTRESOURCEW(id), kPngResourceType);
    return png ? LoadPngBitmap(module, png, kind) : nullptr;
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
    // A PNG begins with its 8-byte signature and the IHDR chunk, whose data
    // opens with the width and the height, big-endian.
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), kPngResourceType);
    if (!found || ::SizeofResource(module, found) < 24)
        return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = static_cast<const uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data || std::memcmp(data, kSignature, sizeof kSignature) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    auto bigEndian = [data](int at) {
        return static_cast<LONG>((uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) |
                                 (uint32_t{data[at + 2]} << 8) | uint32_t{data[at + 3]});
    };
    size->cx = bigEndian(16);
    size->cy = bigEndian(20);
    return size->cx > 0 && size->cy > 0;
}
