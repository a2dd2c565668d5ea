#include "FloorProtocol.h"

#include <cstdio>

bool WriteFloorGeometry(const std::wstring& path, const std::vector<FloorPage>& pages)
{
    FILE* f = _wfopen(path.c_str(), L"w");
    if (!f)
        return false;
    for (const FloorPage& page : pages) {
        std::fprintf(f, "page %d %d %zu\n", page.width, page.height, page.rects.size());
        for (const RECT& r : page.rects)
            std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    }
    return std::fclose(f) == 0;
}

bool ReadFloorGeometry(const std::wstring& path, std::vector<FloorPage>* pages)
{
    FILE* f = _wfopen(path.c_str(), L"r");
    if (!f)
        return false;
    pages->clear();
    FloorPage page;
    size_t count = 0;
    bool ok = true;
    while (ok && std::fscanf(f, " page %d %d %zu", &page.width, &page.height, &count) == 3) {
        page.rects.assign(count, RECT{});
        for (RECT& r : page.rects)
            ok = ok && std::fscanf(f, "%ld %ld %ld %ld", &r.left, &r.top, &r.right, &r.bottom) == 4;
        if (page.width <= 0 || page.height <= 0)
            ok = false;
        pages->push_back(page);
    }
    std::fclose(f);
    return ok && !pages->empty();
}
