#include "WindowList.h"

#include <cstdio>

namespace windowlist {

namespace {

struct Search {
    const Filter& keep;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND wnd, LPARAM lp)
{
    auto* search = reinterpret_cast<Search*>(lp);
    if (search->keep(wnd))
        search->found.push_back(wnd);
    return TRUE;
}

bool IsVisible(HWND wnd) { return ::IsWindowVisible(wnd) != FALSE; }

} // namespace

std::vector<HWND> TopLevel(const Filter& keep)
{
    Search search{keep, {}};
    ::EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Descendants(HWND parent, const Filter& keep)
{
    Search search{keep, {}};
    ::EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> VisibleTopLevel() { return TopLevel(&IsVisible); }

std::vector<HWND> VisibleDescendants(HWND parent) { return Descendants(parent, &IsVisible); }

void PrintRect(const RECT& rc) { std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom); }

void PrintWindowRect(HWND wnd)
{
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    PrintRect(rc);
}

} // namespace windowlist
