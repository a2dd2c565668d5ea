#pragma once
// The display scale. Every pixel figure of the panel (window and control
// sizes and positions, click areas, radii, fonts) is given at 96 DPI and
// brought to a window's DPI by ScaleFigure, with one rounding rule: v * dpi /
// 96 rounded to the nearest integer, halves away from zero (what
// MulDiv(v, dpi, 96) gives). The art generator sizes its pictures by the same
// rule, so a control always sits exactly on its picture at every scale.
#include <windows.h>

constexpr UINT kBaseDpi = 96;

// A pixel figure given at 96 DPI, at `dpi`.
int ScaleFigure(int value, UINT dpi);
POINT ScaleFigure(POINT point, UINT dpi);
SIZE ScaleFigure(SIZE size, UINT dpi);
// Each edge scaled as a figure of its own, as positions are.
RECT ScaleFigure(const RECT& rect, UINT dpi);

// The DPI of the monitor a window is on (per-monitor aware), or the
// system's where the system knows no per-window DPI (or there is no window).
UINT WindowDpi(HWND window);
// The DPI the system gives the screen as a whole.
UINT SystemDpi();

// The size of a small icon (the notification area's) at `dpi`.
int SmallIconSize(UINT dpi);
