#include "ResourceBitmap.h"

#include "Dialog.h"
#include "Handles.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (m_p)
            m_p->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* get() const { return m_p; }
    T** put() { return &m_p; }
    T* operator->() const { return m_p; }

private:
    T* m_p = nullptr;
};

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

bool Decode(const void* png, DWORD size, Pixels& out)
{
    ComForDecode com;
    IWICImagingFactory* factory = SharedFactory();
    if (!factory)
        return false;
    ComRef<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(png)), size)))
        return false;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())))
        return false;
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put())))
        return false;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    if (FAILED(converter->GetSize(&out.width, &out.height)) || out.width == 0 || out.height == 0 ||
        out.width > 16384 || out.height > 16384)
        return false;
    const UINT stride = out.width * 4;
    out.bgrx.resize(static_cast<size_t>(stride) * out.height);
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(out.bgrx.size()), out.bgrx.data())))
        return false;
    // The fourth byte must be 0, as in a bitmap loaded from a 24-bit file: a
    // 32-bit bitmap with anything there counts as one with alpha (a picture
    // control, for one, then shows a premultiplied copy instead).
    for (size_t i = 3; i < out.bgrx.size(); i += 4)
        out.bgrx[i] = 0;
    return true;
}

// Small pictures are loaded many times (every page's column buttons, the
// lamps, the band thumbs): their decoded pixels are kept, so each is decoded
// once. The backgrounds are large and loaded once per language: not kept.
constexpr size_t kKeptPixelLimit = 64 * 1024;

struct KeptPixels {
    HINSTANCE module;
    UINT id;
    Pixels px;
};

class PixelStore {
public:
    bool Find(HINSTANCE module, UINT id, Pixels& out)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (const KeptPixels& k : m_kept) {
            if (k.module == module && k.id == id) {
                out = k.px;
                return true;
            }
        }
        return false;
    }
    void Keep(HINSTANCE module, UINT id, const Pixels& px)
    {
        if (px.bgrx.size() > kKeptPixelLimit)
            return;
        std::lock_guard<std::mutex> lock(m_lock);
        m_kept.push_back({module, id, px});
    }

private:
    std::mutex m_lock;
    std::vector<KeptPixels> m_kept;
};

PixelStore& KeptPictures()
{
    static PixelStore store;
    return store;
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

HBITMAP MakeDibSection(const Pixels& px)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(px.width);
    info.bmiHeader.biHeight = static_cast<LONG>(px.height); // bottom-up, as a bitmap file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return bitmap;
    const size_t stride = ((static_cast<size_t>(px.width) * 24 + 31) / 32) * 4;
    auto* dst = static_cast<uint8_t*>(bits);
    for (UINT y = 0; y < px.height; ++y) {
        const uint8_t* src = px.bgrx.data() + static_cast<size_t>(y) * px.width * 4;
        uint8_t* row = dst + stride * (px.height - 1 - y);
        for (UINT x = 0; x < px.width; ++x) {
            row[x * 3] = src[x * 4];
            row[x * 3 + 1] = src[x * 4 + 1];
            row[x * 3 + 2] = src[x * 4 + 2];
        }
    }
    ::GdiFlush();
    return bitmap;
}

} // namespace

HBITMAP LoadPngBitmap(HINSTANCE module, UINT id, BitmapKind kind)
{
    Pixels px;
    if (KeptPictures().Find(module, id, px))
        return kind == BitmapKind::DibSection ? MakeDibSection(px) : MakeDeviceBitmap(px);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), kPngResourceType);
    if (!found)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0)
        return nullptr;
    if (!Decode(data, size, px))
        return nullptr;
    KeptPictures().Keep(module, id, px);
    return kind == BitmapKind::DibSection ? MakeDibSection(px) : MakeDeviceBitmap(px);
}

HBITMAP LoadSkinBitmap(UINT id, BitmapKind kind)
{
    return LoadPngBitmap(FrameworkResourceHandle(), id, kind);
}

bool SkinBitmapSize(UINT id, SIZE* size)
{
    // A PNG begins with its 8-byte signature and the IHDR chunk, whose data
    // opens with the width and the height, big-endian.
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    HINSTANCE module = FrameworkResourceHandle();
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
