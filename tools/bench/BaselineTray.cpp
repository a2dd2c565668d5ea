// The benchmark's baseline: the least a tray program does. It creates one
// hidden window, adds one notification-area icon and runs a message loop;
// WM_CLOSE removes the icon and ends it. The panel's start-up and memory are
// measured as ratios to this program, under the same system, in the same run.
#include <windows.h>
#include <shellapi.h>

namespace {

const wchar_t kClassName[] = L"ZephrinBenchBaseline";
const UINT kTrayMessage = WM_APP + 1;

NOTIFYICONDATAW g_icon{};

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CLOSE:
        ::Shell_NotifyIconW(NIM_DELETE, &g_icon);
        ::DestroyWindow(wnd);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!::RegisterClassW(&wc))
        return 1;
    HWND wnd = ::CreateWindowExW(0, kClassName, L"Baseline tray program", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                 nullptr, instance, nullptr);
    if (!wnd)
        return 1;

    g_icon.cbSize = sizeof g_icon;
    g_icon.hWnd = wnd;
    g_icon.uID = 1;
    g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_icon.uCallbackMessage = kTrayMessage;
    g_icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(g_icon.szTip, L"Baseline", ARRAYSIZE(g_icon.szTip));
    if (!::Shell_NotifyIconW(NIM_ADD, &g_icon))
        return 1;

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
