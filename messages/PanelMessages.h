#pragma once
// The panel's own window messages: the numbers the main dialog, the pages,
// the skinned controls and the audio listeners send one another. Other
// programs (the tools, the tests) post some of them too, so the numbers stay.
#include <windows.h>

// To the main dialog and every page: switch to language lParam (0, 1, 2).
#define WM_SET_LANGUAGE (WM_USER + 100)
// From the tray icon to the main dialog.
#define WM_TRAY_NOTIFY (WM_USER + 105)
// From a volume listener to the main dialog: an endpoint's level changed.
#define WM_VOLUME_CHANGED (WM_USER + 12)
// From a page to the main dialog: show page lParam.
#define WM_SHOW_PAGE 0x7E8
// From a page to the main dialog: move to (wParam, lParam) on the screen.
#define WM_MOVE_MAIN 0x7E9
// From the device listener to the main dialog: the endpoints changed.
#define WM_ENDPOINT_CHANGED 0x7EA
// From the main dialog to itself, once started: build the next hidden page's
// skin while nothing else is waiting.
#define WM_PREPARE_PAGES 0x7EB
// From a page to the main dialog (its owner): the system moved the page to
// a display scale of wParam DPI (WM_DPICHANGED); lParam is the page's window.
#define WM_PAGE_DPI_CHANGED 0x7EC
// From the device listener to the main dialog: the card's endpoint is active
// again (after it was removed or disabled, a driver restart among others).
#define WM_CARD_ENDPOINT_BACK 0x7F0
// From a bitmap slider to its parent: the thumb moved, and it came to rest.
#define WM_SLIDER_TRACK 0x28D1
#define WM_SLIDER_SETTLED 0x28D2

// Registered by name (RegisterWindowMessage): a start of the program that
// imported settings from the command line tells the running panel to read
// its settings again; the panel answers with the reply value.
inline constexpr wchar_t kSettingsChangedMessageName[] =
    L"Zephrin.SettingsChanged.{5B0E6C44-2F1D-4B7E-9A53-7C1E2D8F4A10}";
inline constexpr LRESULT kSettingsChangedReply = 0x5A455048;
