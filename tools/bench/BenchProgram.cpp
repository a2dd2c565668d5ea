#include "BenchProgram.h"

#include "PageColumnIds.h"
#include "PanelMessages.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace {
// The close and "to Main" buttons of a page's column identify the page.
bool ShowsPage(HWND dialog, int page)
{
    return ::GetDlgItem(dialog, kPageColumnIds[page][kColumnClose]) &&
           ::GetDlgItem(dialog, kPageColumnIds[page][kColumnToMain]);
}
} // namespace

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "zbench: %s\n", what);
    std::fflush(stderr);
    ::ExitProcess(1);
}

// Wine's notification area shows its icons as child windows.
int TrayIconCount()
{
    HWND tray = ::FindWindowW(nullptr, L"Wine System Tray");
    if (!tray)
        return 0;
    int count = 0;
    ::EnumChildWindows(
        tray,
        [](HWND wnd, LPARAM lp) -> BOOL {
            if (::IsWindowVisible(wnd))
                ++*reinterpret_cast<int*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

bool WaitForTrayCount(int wanted, double timeoutMs)
{
    const double end = Now() + timeoutMs;
    while (Now() < end) {
        if (TrayIconCount() == wanted)
            return true;
        ::Sleep(1);
    }
    return false;
}

// Top-level windows of a process with the given class name.
std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* className)
{
    struct Query {
        DWORD pid;
        const wchar_t* cls;
        std::vector<HWND> found;
    } query{pid, className, {}};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* q = reinterpret_cast<Query*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(wnd, &owner);
            wchar_t cls[64] = {};
            ::GetClassNameW(wnd, cls, 64);
            if (owner == q->pid && std::wcscmp(cls, q->cls) == 0)
                q->found.push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.found;
}

int PageOf(HWND dialog)
{
    // Hp first: its close button shares its id with the other pages' Hp button.
    for (int page : {4, 3, 2, 1, 0}) {
        if (ShowsPage(dialog, page))
            return page;
    }
    return -1;
}

double Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    const double t0 = Now();
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL, 30000, &result))
        Fail("the panel did not answer a message");
    return Now() - t0;
}

double SwitchPage(const Program& panel, int from, int to)
{
    HWND page = panel.Page(from);
    if (!page)
        Fail("a page window is missing");
    const int id = static_cast<int>(PageColumnId(model::kPages[from], model::kPages[to]));
    return Send(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
}

int ShowPage(const Program& panel, int current, int page)
{
    if (current != page)
        SwitchPage(panel, current, page);
    return page;
}

LPARAM StoredLanguage()
{
    wchar_t text[16] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Marvolin\\VANTIR\\CPL", L"language", RRF_RT_REG_SZ, nullptr,
                       text, &size) != ERROR_SUCCESS)
        return 0;
    return std::wcstol(text, nullptr, 10);
}

void Settle(const Program& panel, DWORD ms)
{
    panel.WaitUntilAnswering();
    ::Sleep(ms);
    panel.WaitUntilAnswering();
}
