#pragma once
// Windows of other programs as the console helpers see them from outside:
// top-level windows in z-order and a window's descendants, filtered, and
// rectangles printed the one way the drivers read them.
#include <windows.h>

#include <functional>
#include <vector>

namespace windowlist {

using Filter = std::function<bool(HWND)>;

// Top-level windows for which `keep` is true, topmost first.
std::vector<HWND> TopLevel(const Filter& keep);
// Every descendant of `parent` for which `keep` is true.
std::vector<HWND> Descendants(HWND parent, const Filter& keep);
// Only the visible ones.
std::vector<HWND> VisibleTopLevel();
std::vector<HWND> VisibleDescendants(HWND parent);

// "left top right bottom" and a line break, on standard output.
void PrintRect(const RECT& rc);
void PrintWindowRect(HWND wnd);

} // namespace windowlist
