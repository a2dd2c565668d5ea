#include "ScaledArt.h"

#include "DisplayScale.h"
#include "PageWording.h"
#include "PngDecoder.h"
#include "Resample.h"

#include <cstring>
#include <map>
#include <string>

namespace {

const uint8_t* ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, size_t* size)
{
    HRSRC found = ::FindResourceW(module, name, type);
    if (!found)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    *size = ::SizeofResource(module, found);
    return data && *size ? static_cast<const uint8_t*>(data) : nullptr;
}

std::wstring SetType(const wchar_t* kind, UINT setDpi)
{
    return kind + std::to_wstring(setDpi);
}

// A 1x picture as stored: a bitmap resource (a bitmap file without its file
// header, 24 bits bottom-up as the generator writes them) or a page
// background (PageWording.h).
const BITMAPINFOHEADER* OneXBitmap(HMODULE module, UINT id, size_t* size)
{
    const uint8_t* data = ResourceBytes(module, MAKEINTRESOURCEW(id), RT_BITMAP, size);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    if (!header || *size < sizeof(BITMAPINFOHEADER) || header->biSize < sizeof(BITMAPINFOHEADER) ||
        header->biWidth <= 0 || header->biHeight == 0)
        return nullptr;
    return header;
}

bool OneXSize(HMODULE module, UINT id, SIZE* out)
{
    size_t size = 0;
    if (const BITMAPINFOHEADER* header = OneXBitmap(module, id, &size)) {
        *out = SIZE{header->biWidth, header->biHeight < 0 ? -header->biHeight : header->biHeight};
        return true;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    if (!StoredBackgroundSize(module, id, kBaseDpi, &w, &h))
        return false;
    *out = SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
    return true;
}

bool DecodeInto(const uint8_t* png, size_t size, Picture24& out)
{
    uint32_t w = 0;
    uint32_t h = 0;
    if (!ReadPngSize(png, size, &w, &h))
        return false;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.bgr.resize(size_t{w} * h * 3);
    if (DecodePng(png, size, out.bgr.data(), static_cast<ptrdiff_t>(w) * 3, w, h))
        return true;
    out = Picture24{};
    return false;
}

// A page background of a set, decoded whole.
bool DecodeBackgroundInto(HMODULE module, UINT id, UINT setDpi, Picture24& out)
{
    uint32_t w = 0;
    uint32_t h = 0;
    if (!StoredBackgroundSize(module, id, setDpi, &w, &h))
        return false;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.bgr.resize(size_t{w} * h * 3);
    if (DecodeStoredBackground(module, id, setDpi, out.bgr.data(), static_cast<ptrdiff_t>(w) * 3, w, h))
        return true;
    out = Picture24{};
    return false;
}

Picture24 OneXPicture(HMODULE module, UINT id)
{
    Picture24 out;
    size_t size = 0;
    if (const BITMAPINFOHEADER* header = OneXBitmap(module, id, &size)) {
        if (header->biBitCount != 24 || header->biCompression != BI_RGB || header->biHeight < 0)
            return out;
        const int w = header->biWidth;
        const int h = header->biHeight;
        const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
        if (size < header->biSize + stride * h)
            return out;
        const auto* rows = reinterpret_cast<const uint8_t*>(header) + header->biSize;
        out.width = w;
        out.height = h;
        out.bgr.resize(static_cast<size_t>(w) * h * 3);
        for (int y = 0; y < h; ++y)
            std::memcpy(out.Row(y), rows + stride * (h - 1 - y), static_cast<size_t>(w) * 3);
        return out;
    }
    DecodeBackgroundInto(module, id, kBaseDpi, out);
    return out;
}

// Where a small picture of a larger set lies on the set's sheets.
struct SheetPlace {
    UINT sheet;
    int x;
    int y;
    int width;
    int height;
};

// How long the decoded sheets and resampled pictures are kept after they
// were last needed. The pictures are asked for in bursts (the pages being
// made, a language's environment pictures); once a burst has made its
// bitmaps, the ten or so megabytes of decoded sheets of the 2x set are of no
// more use, and making them again costs a few milliseconds.
constexpr UINT kKeepMs = 500;

void CALLBACK ReleaseWhenIdle(HWND, UINT, UINT_PTR timer, DWORD);

// What is kept for the scale in use: the map and the decoded sheets of its
// source set, and the small pictures resampled for it.
class ScaleCache {
public:
    bool View(HMODULE module, UINT id, UINT dpi, PictureView* view)
    {
        Choose(module, dpi);
        const UINT set = SourceSetDpi(dpi);
        if (set == dpi)
            return SheetView(id, view);
        auto it = m_resampled.find(id);
        if (it == m_resampled.end()) {
            Picture24 source;
            if (set == kBaseDpi) {
                source = OneXPicture(m_module, id);
            } else {
                PictureView part;
                if (!SheetView(id, &part))
                    return false;
                source = Copy(part);
            }
            SIZE oneX{};
            if (source.Empty() || !OneXSize(m_module, id, &oneX))
                return false;
            const SIZE target = ScaleFigure(oneX, dpi);
            it = m_resampled.emplace(id, ResampleKeyed(source, target.cx, target.cy)).first;
            KeepForABurst();
        }
        const Picture24& p = it->second;
        *view = PictureView{p.bgr.data(), static_cast<ptrdiff_t>(p.width) * 3, p.width, p.height};
        return !p.Empty();
    }

    size_t HeldBytes() const
    {
        size_t bytes = 0;
        for (const auto& sheet : m_sheets)
            bytes += sheet.second.bgr.size();
        for (const auto& picture : m_resampled)
            bytes += picture.second.bgr.size();
        return bytes;
    }

    void Release()
    {
        if (m_timer) {
            ::KillTimer(nullptr, m_timer);
            m_timer = 0;
        }
        m_module = nullptr;
        m_dpi = 0;
        m_places.clear();
        m_sheets.clear();
        m_resampled.clear();
    }

private:
    // (Re)starts the countdown to the release: a thread timer, delivered by
    // the interface thread's message loop once the burst is over. Without a
    // message loop nothing is released before ReleaseScaledArt.
    void KeepForABurst() { m_timer = ::SetTimer(nullptr, m_timer, kKeepMs, ReleaseWhenIdle); }

    void Choose(HMODULE module, UINT dpi)
    {
        if (module == m_module && dpi == m_dpi)
            return;
        const UINT set = SourceSetDpi(dpi);
        if (module != m_module || set != SourceSetDpi(m_dpi)) {
            m_places.clear();
            m_sheets.clear();
            if (set != kBaseDpi)
                ReadMap(module, set);
        }
        m_resampled.clear();
        m_module = module;
        m_dpi = dpi;
    }

    // The map: a 16-bit count, then per picture six 16-bit numbers (id,
    // sheet, x, y, width, height), little-endian.
    void ReadMap(HMODULE module, UINT set)
    {
        size_t size = 0;
        const uint8_t* data = ResourceBytes(module, MAKEINTRESOURCEW(set), L"SHEETMAP", &size);
        if (!data || size < 2)
            return;
        auto word = [data](size_t at) { return static_cast<int>(data[at] | (data[at + 1] << 8)); };
        const size_t count = static_cast<size_t>(word(0));
        if (size < 2 + count * 12)
            return;
        for (size_t i = 0; i < count; ++i) {
            const size_t at = 2 + i * 12;
            m_places[static_cast<UINT>(word(at))] =
                SheetPlace{static_cast<UINT>(word(at + 2)), word(at + 4), word(at + 6), word(at + 8), word(at + 10)};
        }
    }

    bool SheetView(UINT id, PictureView* view)
    {
        const auto place = m_places.find(id);
        if (place == m_places.end())
            return false;
        const SheetPlace& p = place->second;
        auto sheet = m_sheets.find(p.sheet);
        if (sheet == m_sheets.end()) {
            Picture24 decoded;
            size_t size = 0;
            const std::wstring type = SetType(L"SHEET", SourceSetDpi(m_dpi));
            const uint8_t* png = ResourceBytes(m_module, MAKEINTRESOURCEW(p.sheet), type.c_str(), &size);
            if (!png || !DecodeInto(png, size, decoded))
                return false;
            sheet = m_sheets.emplace(p.sheet, std::move(decoded)).first;
            KeepForABurst();
        }
        const Picture24& s = sheet->second;
        if (p.x < 0 || p.y < 0 || p.width <= 0 || p.height <= 0 || p.x + p.width > s.width ||
            p.y + p.height > s.height)
            return false;
        *view = PictureView{s.Row(p.y) + static_cast<size_t>(p.x) * 3, static_cast<ptrdiff_t>(s.width) * 3, p.width,
                            p.height};
        return true;
    }

    static Picture24 Copy(const PictureView& v)
    {
        Picture24 out;
        out.width = v.width;
        out.height = v.height;
        out.bgr.resize(static_cast<size_t>(v.width) * v.height * 3);
        for (int y = 0; y < v.height; ++y)
            std::memcpy(out.Row(y), v.top + v.stride * y, static_cast<size_t>(v.width) * 3);
        return out;
    }

    HMODULE m_module = nullptr;
    UINT m_dpi = 0;
    UINT_PTR m_timer = 0;
    std::map<UINT, SheetPlace> m_places;
    std::map<UINT, Picture24> m_sheets;
    std::map<UINT, Picture24> m_resampled;
};

ScaleCache& Cache()
{
    static ScaleCache cache;
    return cache;
}

void CALLBACK ReleaseWhenIdle(HWND, UINT, UINT_PTR, DWORD)
{
    Cache().Release();
}

} // namespace

UINT SourceSetDpi(UINT dpi)
{
    if (dpi <= kBaseDpi)
        return kBaseDpi;
    return dpi <= 144 ? 144 : 192;
}

bool PictureSizeAt(HMODULE module, UINT id, UINT dpi, SIZE* size)
{
    SIZE oneX{};
    if (!OneXSize(module, id, &oneX) || oneX.cx <= 0 || oneX.cy <= 0)
        return false;
    *size = ScaleFigure(oneX, dpi);
    return true;
}

bool PictureAt(HMODULE module, UINT id, UINT dpi, PictureView* view, Picture24* owned)
{
    if (dpi == kBaseDpi) {
        *owned = OneXPicture(module, id);
        *view = PictureView{owned->bgr.data(), static_cast<ptrdiff_t>(owned->width) * 3, owned->width, owned->height};
        return !owned->Empty();
    }
    const UINT set = SourceSetDpi(dpi);
    uint32_t w = 0;
    uint32_t h = 0;
    // The page backgrounds: decoded at each call (the page keeps its own).
    if (StoredBackgroundSize(module, id, set, &w, &h)) {
        Picture24 source;
        if (!DecodeBackgroundInto(module, id, set, source))
            return false;
        if (dpi != set) {
            SIZE target{};
            if (!PictureSizeAt(module, id, dpi, &target))
                return false;
            source = ResampleKeyed(source, target.cx, target.cy);
        }
        *owned = std::move(source);
        *view = PictureView{owned->bgr.data(), static_cast<ptrdiff_t>(owned->width) * 3, owned->width, owned->height};
        return true;
    }
    return Cache().View(module, id, dpi, view);
}

void ReleaseScaledArt()
{
    Cache().Release();
}

size_t ScaledArtHeldBytes()
{
    return Cache().HeldBytes();
}
