#include "DisplayScale.h"

namespace {

template <typename Fn>
Fn User32(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

} // namespace

int ScaleFigure(int value, UINT dpi)
{
    return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

POINT ScaleFigure(POINT point, UINT dpi)
{
    return POINT{ScaleFigure(point.x, dpi), ScaleFigure(point.y, dpi)};
}

SIZE ScaleFigure(SIZE size, UINT dpi)
{
    return SIZE{ScaleFigure(size.cx, dpi), ScaleFigure(size.cy, dpi)};
}

RECT ScaleFigure(const RECT& rect, UINT dpi)
{
    return RECT{ScaleFigure(rect.left, dpi), ScaleFigure(rect.top, dpi), ScaleFigure(rect.right, dpi),
                ScaleFigure(rect.bottom, dpi)};
}

UINT SystemDpi()
{
    // Windows 10 1607 and later; earlier systems give the screen's DPI.
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = User32<GetDpiForSystemFn>("GetDpiForSystem");
    if (getDpiForSystem) {
        if (UINT dpi = getDpiForSystem())
            return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

UINT WindowDpi(HWND window)
{
    if (!window)
        return SystemDpi();
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    return SystemDpi();
}

int SmallIconSize(UINT dpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi = User32<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (metricsForDpi) {
        if (int size = metricsForDpi(SM_CXSMICON, dpi); size > 0)
            return size;
    }
    return ScaleFigure(16, dpi);
}
