#pragma once
// The page backgrounds as each art set stores them. A page's three
// backgrounds (one per language) differ only in their wording: a set keeps
// one of them whole, the page's family picture (its Traditional Chinese
// background), and for every language the square tiles where the languages
// differ, packed in a grid with a map of where each tile lies. A background
// is its family picture with its own tiles put in; a shown page goes to
// another language by putting in that language's tiles alone.
//
// Sets are named by their DPI: 96 (1x), 144 and 192. Rows are 24-bit
// blue-green-red, row y (0 the top) at top + y * stride.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// The size of page background `id` of the set, from stored headers; false
// when the set has no such background.
bool StoredBackgroundSize(HMODULE module, UINT id, UINT setDpi, uint32_t* width, uint32_t* height);

// Decodes page background `id` of the set into rows of its size. False, with
// the rows undefined, when the set has no such background or it is damaged.
bool DecodeStoredBackground(HMODULE module, UINT id, UINT setDpi, uint8_t* top, ptrdiff_t stride, uint32_t width,
                            uint32_t height);

// Rows of the size of the set's background `shownId`, holding it, are made
// to hold background `id` by putting in its wording tiles. False when the two
// are not languages of one page of the set (the rows are then untouched) or
// the tiles are damaged (the rows may then hold some of them).
bool SwitchStoredBackground(HMODULE module, UINT id, UINT shownId, UINT setDpi, uint8_t* top, ptrdiff_t stride,
                            uint32_t width, uint32_t height);

// The rectangles of background `id`'s wording tiles in the set (what a
// switch to it from another language of its page changes); false when it
// has none.
bool StoredWordingTiles(HMODULE module, UINT id, UINT setDpi, std::vector<RECT>* tiles);
