#pragma once
// The program's icon and cursor at the size a scale asks for. Each is stored
// at several sizes (the icon at every small-icon size from 100 % to 300 %,
// the cursor of each art set); a size in between is made from the next
// larger stored one (or the largest) by area averaging, not left to the
// system's stretching.
#include <windows.h>

// Icon `id` at size x size pixels; null when missing. The caller owns it.
HICON LoadIconAt(HMODULE module, UINT id, int size);

// Cursor `id` at `dpi`: 32 pixels at 96 DPI, scaled like every pixel
// figure, its hot spot scaled alike; null when missing. The caller owns it.
HCURSOR LoadCursorAt(HMODULE module, UINT id, UINT dpi);
