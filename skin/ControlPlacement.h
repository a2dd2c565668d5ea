#pragma once
// Where a page's controls sit and which control a click on the page is on.
// The pages' pictures do not take the mouse: a press on one reaches the page,
// which finds the picture by its rectangle on the page.
#include "SkinnedPage.h"

#include <span>

// A control of a page by its id, and its top-left corner in pixels from the
// page's top-left, at 96 DPI.
struct ControlPlacement {
    int id;
    int x;
    int y;
};

// Places every control of the table on the page with PlaceControl (at the
// page's scale).
void PlaceControlTable(CSkinnedPage& page, std::span<const ControlPlacement> table);

// A control's window rectangle in its page's client coordinates; an empty
// rectangle when there is no control.
RECT ControlRectOnPage(HWND page, HWND control);

// Whether a point in the page's client coordinates lies on the control.
bool PointOnControl(HWND page, HWND control, POINT pt);
