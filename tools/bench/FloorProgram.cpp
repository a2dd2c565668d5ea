// The benchmark's floor: what the panel's page switch and language switch ask
// of the windowing system, and nothing else. zbench gives it the sizes and
// shapes of the panel's pages (read from the running panel) and times it the
// way it times the panel, so the panel's figures can be set against what the
// platform itself costs for the same change on the screen.
//
//   BenchFloor switch GEOMETRY     two owned, top-most, shaped tool windows;
//                                  one hidden and the other shown at its place
//   BenchFloor language GEOMETRY   five windows (the first on screen, four
//                                  hidden and owned by it); every region and
//                                  background replaced, every window repainted
//
// Each window paints a picture of its size on erase, as the pages do. Ends
// on WM_CLOSE to any of its windows.
#include "FloorProtocol.h"
#include "PanelModel.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

constexpr DWORD kPageStyle = WS_POPUP;
constexpr DWORD kPageExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr int kHp = model::Number(model::Page::Hp);

std::vector<FloorPage> g_pages;

HRGN RegionOf(const FloorPage& page)
{
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + page.rects.size() * sizeof(RECT));
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
    rgn->rdh.iType = RDH_RECTANGLES;
    rgn->rdh.nCount = static_cast<DWORD>(page.rects.size());
    rgn->rdh.nRgnSize = static_cast<DWORD>(page.rects.size() * sizeof(RECT));
    rgn->rdh.rcBound = RECT{0, 0, page.width, page.height};
    if (!page.rects.empty())
        std::memcpy(rgn->Buffer, page.rects.data(), page.rects.size() * sizeof(RECT));
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rgn);
}

// A picture of the page's size in the pages' own format (a 24-bit DIB
// section), filled so that each language's picture differs.
HBITMAP Picture(int width, int height, int shade)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const size_t stride = ((static_cast<size_t>(width) * 24 + 31) / 32) * 4;
    auto* p = static_cast<BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* px = p + stride * static_cast<size_t>(y) + static_cast<size_t>(x) * 3;
            px[0] = static_cast<BYTE>(x + shade);
            px[1] = static_cast<BYTE>(y + 2 * shade);
            px[2] = static_cast<BYTE>((x ^ y) + 3 * shade);
        }
    }
    return bitmap;
}

// One floor window: the page it stands for and the picture it paints.
struct FloorWindow {
    HWND wnd = nullptr;
    int page = 0;
    HDC memory = nullptr;
    HGDIOBJ original = nullptr;
    std::array<HBITMAP, model::kLanguageCount> pictures{};
};

// Switch mode: two windows, `shown` is on screen.
std::array<FloorWindow, 2> g_switch;
int g_shown = 0;
// Language mode: one window per page, the first on screen.
std::array<FloorWindow, model::kPageCount> g_language;
bool g_languageMode = false;

FloorWindow* WindowOf(HWND wnd)
{
    for (FloorWindow& w : g_switch) {
        if (w.wnd == wnd)
            return &w;
    }
    for (FloorWindow& w : g_language) {
        if (w.wnd == wnd)
            return &w;
    }
    return nullptr;
}

void GiveGeometry(FloorWindow& w, int page)
{
    const FloorPage& p = g_pages[static_cast<size_t>(page)];
    ::SetWindowPos(w.wnd, nullptr, 0, 0, p.width, p.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowRgn(w.wnd, RegionOf(p), FALSE);
    w.page = page;
}

// The page switch, call for call: the window on screen is hidden without
// handing the activation on, the other one moved to its place and shown
// (which paints it); the Hp page is moved and sized, repainted, then shown.
void Switch()
{
    FloorWindow& from = g_switch[static_cast<size_t>(g_shown)];
    FloorWindow& to = g_switch[static_cast<size_t>(1 - g_shown)];
    const RECT place = [&] {
        RECT rc{};
        ::GetWindowRect(from.wnd, &rc);
        return rc;
    }();
    ::SetWindowPos(from.wnd, HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const UINT repaint = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN;
    if (to.page == kHp) {
        const FloorPage& hp = g_pages[kHp];
        ::SetWindowPos(to.wnd, nullptr, place.left, place.top, hp.width, hp.height, SWP_NOZORDER | SWP_NOACTIVATE);
        ::RedrawWindow(to.wnd, nullptr, nullptr, repaint);
        ::ShowWindow(to.wnd, SW_SHOW);
    } else {
        ::SetWindowPos(to.wnd, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(to.wnd, SW_SHOW);
    }
    g_shown = 1 - g_shown;
}

HWND PrepareSwitch(int from, int to)
{
    if (g_switch[static_cast<size_t>(g_shown)].page != from) {
        GiveGeometry(g_switch[static_cast<size_t>(1 - g_shown)], from);
        Switch();
    }
    FloorWindow& hidden = g_switch[static_cast<size_t>(1 - g_shown)];
    if (hidden.page != to)
        GiveGeometry(hidden, to);
    return g_switch[static_cast<size_t>(g_shown)].wnd;
}

void SwitchLanguage(int language)
{
    for (FloorWindow& w : g_language) {
        ::SetWindowRgn(w.wnd, RegionOf(g_pages[static_cast<size_t>(w.page)]), FALSE);
        ::SelectObject(w.memory, w.pictures[static_cast<size_t>(language)]);
        ::RedrawWindow(w.wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

bool IsPage(LPARAM number)
{
    return number >= 0 && number < model::kPageCount;
}

LRESULT CALLBACK FloorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        if (FloorWindow* w = WindowOf(wnd)) {
            const FloorPage& p = g_pages[static_cast<size_t>(w->page)];
            ::BitBlt(reinterpret_cast<HDC>(wp), 0, 0, p.width, p.height, w->memory, 0, 0, SRCCOPY);
            return TRUE;
        }
        break;
    case kFloorPrepareSwitch:
        if (g_languageMode || !IsPage(static_cast<LPARAM>(wp)) || !IsPage(lp))
            return 0;
        return reinterpret_cast<LRESULT>(PrepareSwitch(static_cast<int>(wp), static_cast<int>(lp)));
    case kFloorSwitch:
        if (g_languageMode)
            return 0;
        Switch();
        return 1;
    case kFloorLanguage:
        if (!g_languageMode || lp < 0 || lp >= model::kLanguageCount)
            return 0;
        SwitchLanguage(static_cast<int>(lp));
        return 1;
    case WM_CLOSE:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK OwnerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

bool CreateFloorWindow(FloorWindow& w, int page, HWND owner, HINSTANCE instance, int pictures)
{
    const FloorPage& p = g_pages[static_cast<size_t>(page)];
    w.page = page;
    w.wnd = ::CreateWindowExW(kPageExStyle, kFloorWindowClass, L"Floor page", kPageStyle, 0, 0, p.width, p.height,
                              owner, nullptr, instance, nullptr);
    if (!w.wnd)
        return false;
    ::SetWindowRgn(w.wnd, RegionOf(p), FALSE);
    w.memory = ::CreateCompatibleDC(nullptr);
    for (int i = 0; i < pictures; ++i) {
        w.pictures[static_cast<size_t>(i)] = Picture(p.width, p.height, 40 * i);
        if (!w.pictures[static_cast<size_t>(i)])
            return false;
    }
    w.original = ::SelectObject(w.memory, w.pictures[0]);
    return true;
}

void Release(FloorWindow& w)
{
    if (w.wnd)
        ::DestroyWindow(w.wnd);
    if (w.memory) {
        ::SelectObject(w.memory, w.original);
        ::DeleteDC(w.memory);
    }
    for (HBITMAP b : w.pictures) {
        if (b)
            ::DeleteObject(b);
    }
    w = FloorWindow{};
}

int Run(HINSTANCE instance, bool languageMode)
{
    g_languageMode = languageMode;
    HWND owner = nullptr;
    if (languageMode) {
        // The first window stands for the main dialog: it owns the others.
        if (!CreateFloorWindow(g_language[0], 0, nullptr, instance, model::kLanguageCount))
            return 1;
        for (int page = 1; page < model::kPageCount; ++page) {
            if (!CreateFloorWindow(g_language[static_cast<size_t>(page)], page, g_language[0].wnd, instance,
                                   model::kLanguageCount))
                return 1;
        }
        ::ShowWindow(g_language[0].wnd, SW_SHOWNOACTIVATE);
    } else {
        owner = ::CreateWindowExW(kPageExStyle, kFloorOwnerClass, L"Floor owner", kPageStyle, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
        if (!owner || !CreateFloorWindow(g_switch[0], 0, owner, instance, 1) ||
            !CreateFloorWindow(g_switch[1], 1, owner, instance, 1))
            return 1;
        ::ShowWindow(g_switch[0].wnd, SW_SHOWNOACTIVATE);
        g_shown = 0;
    }

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);

    for (FloorWindow& w : g_switch)
        Release(w);
    for (FloorWindow& w : g_language)
        Release(w);
    if (owner)
        ::DestroyWindow(owner);
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc != 3)
        return 2;
    const bool languageMode = std::wcscmp(argv[1], L"language") == 0;
    if (!languageMode && std::wcscmp(argv[1], L"switch") != 0)
        return 2;
    if (!ReadFloorGeometry(argv[2], &g_pages) || g_pages.size() != model::kPageCount)
        return 3;
    ::LocalFree(argv);

    WNDCLASSW wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFloorWindowClass;
    if (!::RegisterClassW(&wc))
        return 1;
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = kFloorOwnerClass;
    if (!::RegisterClassW(&wc))
        return 1;
    return Run(instance, languageMode);
}
