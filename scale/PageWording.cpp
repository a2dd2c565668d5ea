#include "PageWording.h"

#include "PngDecoder.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const uint8_t* ResourceBytes(HMODULE module, UINT id, const std::wstring& type, size_t* size)
{
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type.c_str());
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    *size = found ? ::SizeofResource(module, found) : 0;
    return data && *size ? static_cast<const uint8_t*>(data) : nullptr;
}

// The set's resource types: whole pictures "PNG" at 1x and "PNG<dpi>" above.
std::wstring WholeType(UINT setDpi)
{
    return setDpi == 96 ? std::wstring(L"PNG") : L"PNG" + std::to_wstring(setDpi);
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// A background's wording: its map and its grid of tiles.
struct Wording {
    const uint8_t* map = nullptr;
    size_t mapSize = 0;
    const uint8_t* grid = nullptr;
    size_t gridSize = 0;
    UINT family = 0;
    uint32_t tile = 0;
    uint32_t columns = 0;
    uint32_t count = 0;
    const uint8_t* Tile(uint32_t k) const { return map + 8 + size_t{k} * 8; }
};

// The map holds 16-bit values: the family, the tile side, the grid's
// columns, the count of tiles, then x, y, width and height of each tile.
bool ReadWording(HMODULE module, UINT id, UINT setDpi, Wording* w)
{
    const std::wstring dpi = std::to_wstring(setDpi);
    w->map = ResourceBytes(module, id, L"WORDMAP" + dpi, &w->mapSize);
    w->grid = ResourceBytes(module, id, L"WORDS" + dpi, &w->gridSize);
    if (!w->map || !w->grid || w->mapSize < 8)
        return false;
    w->family = Le16(w->map);
    w->tile = Le16(w->map + 2);
    w->columns = Le16(w->map + 4);
    w->count = Le16(w->map + 6);
    return w->family != 0 && w->tile > 0 && w->columns > 0 && w->count > 0 &&
           w->mapSize == 8 + size_t{w->count} * 8;
}

// The whole picture a background is built from: its own, or its family's.
const uint8_t* WholePng(HMODULE module, UINT id, UINT setDpi, size_t* size, bool* own)
{
    *own = true;
    if (const uint8_t* png = ResourceBytes(module, id, WholeType(setDpi), size))
        return png;
    *own = false;
    Wording w;
    if (!ReadWording(module, id, setDpi, &w) || w.family == id)
        return nullptr;
    return ResourceBytes(module, w.family, WholeType(setDpi), size);
}

// Puts the background's tiles into rows of width x height. Damaged tiles may
// leave some of them put in, some not.
bool PutTiles(const Wording& w, uint8_t* top, ptrdiff_t stride, uint32_t width, uint32_t height)
{
    uint32_t gridWidth = 0;
    uint32_t gridHeight = 0;
    const uint32_t gridRows = (w.count + w.columns - 1) / w.columns;
    if (!ReadPngSize(w.grid, w.gridSize, &gridWidth, &gridHeight) || gridWidth != w.columns * w.tile ||
        gridHeight != gridRows * w.tile)
        return false;
    for (uint32_t k = 0; k < w.count; ++k) {
        const uint8_t* t = w.Tile(k);
        const uint32_t x = Le16(t), y = Le16(t + 2), tw = Le16(t + 4), th = Le16(t + 6);
        if (tw == 0 || th == 0 || tw > w.tile || th > w.tile || x + tw > width || y + th > height)
            return false;
    }
    // Each row of the grid, as it is decoded, goes straight to the rows of
    // the tiles it crosses: no buffer of the whole grid.
    return DecodePngRows(w.grid, w.gridSize, gridWidth, gridHeight, [&](uint32_t gridY, const uint8_t* bgr) {
        const uint32_t inCell = gridY % w.tile;
        const uint32_t first = (gridY / w.tile) * w.columns;
        for (uint32_t k = first; k < first + w.columns && k < w.count; ++k) {
            const uint8_t* t = w.Tile(k);
            const uint32_t x = Le16(t), y = Le16(t + 2), tw = Le16(t + 4), th = Le16(t + 6);
            if (inCell < th)
                std::memcpy(top + stride * static_cast<ptrdiff_t>(y + inCell) + size_t{x} * 3,
                            bgr + size_t{(k - first) * w.tile} * 3, size_t{tw} * 3);
        }
        return true;
    });
}

} // namespace

bool StoredBackgroundSize(HMODULE module, UINT id, UINT setDpi, uint32_t* width, uint32_t* height)
{
    size_t size = 0;
    bool own = false;
    const uint8_t* png = WholePng(module, id, setDpi, &size, &own);
    return png && ReadPngSize(png, size, width, height);
}

bool DecodeStoredBackground(HMODULE module, UINT id, UINT setDpi, uint8_t* top, ptrdiff_t stride, uint32_t width,
                            uint32_t height)
{
    size_t size = 0;
    bool own = false;
    const uint8_t* png = WholePng(module, id, setDpi, &size, &own);
    if (!png || !DecodePng(png, size, top, stride, width, height))
        return false;
    if (own)
        return true;
    Wording w;
    return ReadWording(module, id, setDpi, &w) && PutTiles(w, top, stride, width, height);
}

bool SwitchStoredBackground(HMODULE module, UINT id, UINT shownId, UINT setDpi, uint8_t* top, ptrdiff_t stride,
                            uint32_t width, uint32_t height)
{
    // Both languages of one page: the same tiles, in the same places.
    Wording to;
    Wording from;
    if (!ReadWording(module, id, setDpi, &to) || !ReadWording(module, shownId, setDpi, &from) ||
        to.mapSize != from.mapSize || std::memcmp(to.map, from.map, to.mapSize) != 0)
        return false;
    uint32_t w = 0;
    uint32_t h = 0;
    if (!StoredBackgroundSize(module, id, setDpi, &w, &h) || w != width || h != height)
        return false;
    return PutTiles(to, top, stride, width, height);
}

bool StoredWordingTiles(HMODULE module, UINT id, UINT setDpi, std::vector<RECT>* tiles)
{
    Wording w;
    if (!ReadWording(module, id, setDpi, &w))
        return false;
    tiles->clear();
    for (uint32_t k = 0; k < w.count; ++k) {
        const uint8_t* t = w.Tile(k);
        const LONG x = Le16(t), y = Le16(t + 2);
        tiles->push_back(RECT{x, y, x + Le16(t + 4), y + Le16(t + 6)});
    }
    return true;
}
