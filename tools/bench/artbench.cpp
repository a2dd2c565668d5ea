// Times, inside one process, the steps the panel takes to turn its stored
// pictures into bitmaps at 100 % and at 200 % display scale: a page
// background decoded (its inflating, its unfiltering), loaded as a bitmap and
// scanned for the window's shape, and one language's Hifi environment
// pictures loaded from their sheet. Not part of the test suite; run under
// Wine on a display, like the panel (scripts/bench says how long an action
// takes, this says where the time goes). Each figure is the fastest of REPS.
//
//   artbench [REPS]
#include "DisplayScale.h"
#include "Inflate.h"
#include "PngDecoder.h"
#include "ResourceBitmap.h"
#include "ScaledArt.h"
#include "SkinnedPage.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

volatile unsigned g_sink;

double Now()
{
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// The fastest of `reps` runs of `step`, in milliseconds: on a shared,
// loaded machine the least disturbed run says most about the code.
double Fastest(int reps, const std::function<void()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < reps; ++i) {
        const double t0 = Now();
        step();
        ms.push_back(Now() - t0);
    }
    std::sort(ms.begin(), ms.end());
    return ms.front();
}

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(list)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

const uint8_t* Resource(UINT id, LPCWSTR type, size_t* size)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    *size = found ? ::SizeofResource(module, found) : 0;
    return loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
}

// The zlib stream of a PNG: its IDAT chunks joined.
std::vector<uint8_t> ZlibStream(const uint8_t* png, size_t size)
{
    std::vector<uint8_t> out;
    size_t at = 8;
    while (at + 12 <= size) {
        const uint32_t length = (uint32_t{png[at]} << 24) | (uint32_t{png[at + 1]} << 16) |
                                (uint32_t{png[at + 2]} << 8) | png[at + 3];
        if (std::memcmp(png + at + 4, "IDAT", 4) == 0)
            out.insert(out.end(), png + at + 8, png + at + 8 + length);
        at += 12 + size_t{length};
    }
    return out;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int reps = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
    HMODULE module = ::GetModuleHandleW(nullptr);
    std::vector<UINT> backgrounds;
    ::EnumResourceNamesW(module, L"PNG192", CollectId, reinterpret_cast<LONG_PTR>(&backgrounds));
    if (backgrounds.empty()) {
        std::fprintf(stderr, "no 2x backgrounds\n");
        return 1;
    }
    std::sort(backgrounds.begin(), backgrounds.end());
    // The Digital page's Traditional Chinese background, stored whole, and
    // its English one, stored as wording.
    const UINT background = backgrounds.front();
    const UINT english = background - 2;

    size_t pngSize = 0;
    const uint8_t* png = Resource(background, L"PNG192", &pngSize);
    uint32_t w = 0, h = 0;
    ReadPngSize(png, pngSize, &w, &h);
    std::vector<uint8_t> zlib = ZlibStream(png, pngSize);
    std::vector<uint8_t> filtered((size_t{w} * 3 + 1) * h);
    std::vector<uint8_t> rows(size_t{w} * 3 * h);
    std::printf("background %u at 2x: %u x %u, %zu bytes of PNG\n", background, w, h, pngSize);
    std::printf("  inflate                 %8.2f ms\n", Fastest(reps, [&] {
                    InflateZlib(zlib.data(), zlib.size(), filtered.data(), filtered.size());
                }));
    std::printf("  decode (all of it)      %8.2f ms\n", Fastest(reps, [&] {
                    DecodePng(png, pngSize, rows.data(), static_cast<ptrdiff_t>(w) * 3, w, h);
                }));

    // What fresh memory costs, page by page: a decode that needs a buffer of
    // the picture's size pays this on top.
    std::printf("  fresh buffer, touched   %8.2f ms\n", Fastest(reps, [&] {
                    std::unique_ptr<uint8_t[]> fresh(new uint8_t[filtered.size()]);
                    std::memset(fresh.get(), 1, filtered.size());
                    g_sink = g_sink + fresh[filtered.size() / 2];
                }));

    // At 1x the backgrounds are plain PNG resources: the imaging component's
    // decode against the program's own.
    {
        size_t size1 = 0;
        const uint8_t* png1 = Resource(background, L"PNG", &size1);
        uint32_t w1 = 0, h1 = 0;
        if (png1 && ReadPngSize(png1, size1, &w1, &h1)) {
            std::vector<uint8_t> rows1(size_t{w1} * 3 * h1);
            std::printf("background %u at 1x: %u x %u, %zu bytes of PNG\n", background, w1, h1, size1);
            std::printf("  own decode              %8.2f ms\n", Fastest(reps, [&] {
                            DecodePng(png1, size1, rows1.data(), static_cast<ptrdiff_t>(w1) * 3, w1, h1);
                        }));
        }
    }

    for (UINT dpi : {kBaseDpi, 192u}) {
        std::printf("at %u DPI\n", dpi);
        std::printf("  background bitmap       %8.2f ms\n", Fastest(reps, [&] {
                        ::DeleteObject(LoadSkinBitmap(background, BitmapKind::DibSection, dpi));
                    }));
        HBITMAP bitmap = LoadSkinBitmap(background, BitmapKind::DibSection, dpi);
        // Another language's background into the bitmap of the one on show.
        std::printf("  English built           %8.2f ms\n", Fastest(reps, [&] {
                        ::DeleteObject(LoadSkinBitmap(english, BitmapKind::DibSection, dpi));
                    }));
        std::printf("  reloaded in place       %8.2f ms\n", Fastest(reps, [&] {
                        ReloadSkinBitmap(english, 0, bitmap, dpi);
                    }));
        std::printf("  language switched       %8.2f ms\n", Fastest(reps, [&] {
                        ReloadSkinBitmap(english, background, bitmap, dpi);
                        ReloadSkinBitmap(background, english, bitmap, dpi);
                    }) / 2);
        ReloadSkinBitmap(background, 0, bitmap, dpi);
        std::printf("  shape scan              %8.2f ms\n", Fastest(reps, [&] { BuildRegionFromSkinBitmap(bitmap); }));
        const RegionRects shape = BuildRegionFromSkinBitmap(bitmap);
        std::printf("  shape region (%5zu)    %8.2f ms\n", shape.rects.size(),
                    Fastest(reps, [&] { ::DeleteObject(CreateRegionFromRects(shape)); }));
        ::DeleteObject(bitmap);

        // One language's environment pictures: the ones on the second sheet.
        size_t mapSize = 0;
        const uint8_t* map = Resource(192, L"SHEETMAP", &mapSize);
        std::vector<UINT> pictures;
        for (size_t i = 0; map && 2 + i * 12 + 12 <= mapSize && i < size_t(map[0] | (map[1] << 8)); ++i) {
            const uint8_t* e = map + 2 + i * 12;
            if ((e[2] | (e[3] << 8)) == 2)
                pictures.push_back(static_cast<UINT>(e[0] | (e[1] << 8)));
        }
        ReleaseScaledArt();
        double first = Now();
        for (UINT id : pictures)
            ::DeleteObject(LoadSkinBitmap(id, BitmapKind::Device, dpi));
        first = Now() - first;
        std::printf("  %zu pictures, first     %8.2f ms\n", pictures.size(), first);
        std::printf("  %zu pictures, again     %8.2f ms\n", pictures.size(), Fastest(reps, [&] {
                        for (UINT id : pictures)
                            ::DeleteObject(LoadSkinBitmap(id, BitmapKind::Device, dpi));
                    }));
    }
    return 0;
}
