#pragma once
// What zbench and the floor program (BenchFloor.exe) agree on: the floor's
// window classes, the messages zbench sends it and the file that gives it the
// pages' sizes and shapes.
//
// The floor program does what a page switch and a language switch of the
// panel ask of the windowing system, and nothing else; zbench times it the
// way it times the panel (a message sent, answered when the switch is done),
// so the panel's figures can be read against what the platform itself costs.
#include <windows.h>

#include <string>
#include <vector>

// Every window of the floor program has this class.
inline constexpr wchar_t kFloorWindowClass[] = L"ZephrinBenchFloor";
// The floor's owner: hidden, like the main dialog that owns the panel's pages
// while another page is shown.
inline constexpr wchar_t kFloorOwnerClass[] = L"ZephrinBenchFloorOwner";

// Page switch mode, sent to the floor window on screen.
// Untimed: shows the page `wParam` (switching to it the same way when another
// one is shown) and gives the hidden window the size and shape of page
// `lParam`. Answers the on-screen window's handle.
inline constexpr UINT kFloorPrepareSwitch = WM_APP + 1;
// Timed: hides the window on screen and shows the other one at its place,
// with the calls the panel's switch makes, in the same order. Answers 1.
inline constexpr UINT kFloorSwitch = WM_APP + 2;
// Language mode, sent to the floor window on screen (the first of five):
// every window's region and background replaced by those of language
// `lParam` (0 to 2), each window repainted. Answers 1.
inline constexpr UINT kFloorLanguage = WM_APP + 3;

// A page's window: its size and its shape, as rectangles in window
// coordinates.
struct FloorPage {
    int width = 0;
    int height = 0;
    std::vector<RECT> rects;
};

// The geometry file: one block per page, in page number order:
//   page WIDTH HEIGHT COUNT
//   LEFT TOP RIGHT BOTTOM      (COUNT lines)
bool WriteFloorGeometry(const std::wstring& path, const std::vector<FloorPage>& pages);
bool ReadFloorGeometry(const std::wstring& path, std::vector<FloorPage>* pages);
