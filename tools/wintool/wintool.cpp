// wintool: a small console helper for end-to-end drivers. It runs in the
// same Wine prefix as the panel and looks at the panel's windows from the
// outside: which page is visible, where a page or one of its controls is on
// the screen, the tray icons and an open pop-up menu; it can also send or post
// a message to a page and end the panel.
//
//   wintool visible                   names of the visible pages, one a line
//   wintool rect PAGE [CONTROL_ID]    screen rectangle: left top right bottom
//   wintool region PAGE X Y           "in" or "out": is page point (X, Y) inside the window's shape
//   wintool controls PAGE             every control of the page: id left top right bottom, in
//                                     pixels from the page's top-left, one a line (visible ones)
//   wintool send PAGE MSG [WP [LP]]   SendMessage, prints the result
//   wintool post PAGE MSG [WP [LP]]   PostMessage
//   wintool sendto PAGE ID MSG [WP [LP]]  SendMessage to a control of the page
//   wintool dpichanged PAGE DPI OLDDPI  WM_DPICHANGED to the page as Windows sends it after a
//                                     move to a monitor of DPI: the new DPI in both words of
//                                     wParam, lParam the suggested rectangle (top-left kept,
//                                     size scaled from OLDDPI) in the panel's own memory
//   wintool tray                      "yes" and the icon rectangles when the panel's icon is shown, else "no"
//   wintool menu                      rectangles of the open pop-up menus, outermost first
//   wintool exit                      the tray menu's Exit command, then waits for the panel to end
//   wintool kill                      ends every running panel process at once
//   wintool running                   exit code 0 when a panel runs
//   wintool pids                      the process ids of the running panels, one a line
//   wintool combo-items PAGE ID       the entries of a page's combo box, one a line, in UTF-8
//   wintool combo-item PAGE ID INDEX  screen rectangle of an entry in the open drop-down list
//                                     (exit code 1 while the list is closed)
//   wintool dialogs                   titles of the panel's visible dialogs that are not pages
//                                     (file dialogs, message boxes), one a line, in UTF-8
//   wintool dialog-command TITLE ID   posts the command ID (a button's click) to that dialog
//   wintool dialog-text TITLE ID [TEXT]  prints a control's text, or sets it to TEXT
//
// PAGE is main, hifi, digital, info or hp. Numbers may be decimal or 0x-hex.
// Exit code 0 on success, 1 when the window or item is not there, 2 on misuse.
#include "Handles.h"
#include "PageColumnIds.h"
#include "WindowList.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t* const kPageNames[5] = {L"main", L"hifi", L"digital", L"info", L"hp"};
static_assert(model::kPageCount == 5);
const UINT kExitCommand = 32783;

bool IsPanelProcess(DWORD pid)
{
    fw::UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return false;
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    bool panel = false;
    if (::QueryFullProcessImageNameW(process.get(), 0, path, &size)) {
        const wchar_t* name = std::wcsrchr(path, L'\\');
        name = name ? name + 1 : path;
        panel = _wcsicmp(name, L"Zephrin.exe") == 0;
    }
    return panel;
}

bool HasClass(HWND wnd, const wchar_t* name)
{
    wchar_t cls[64] = {};
    ::GetClassNameW(wnd, cls, 64);
    return std::wcscmp(cls, name) == 0;
}

std::vector<HWND> PanelDialogs()
{
    return windowlist::TopLevel([](HWND wnd) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        return HasClass(wnd, L"#32770") && IsPanelProcess(pid);
    });
}

int PageOf(HWND dialog)
{
    // Hp first: its close button shares its id with the other pages' Hp button.
    for (int page : {4, 3, 2, 1, 0}) {
        // The close and "to Main" buttons of each page's column identify the page.
        if (::GetDlgItem(dialog, static_cast<int>(kPageColumnIds[page][kColumnClose]))
            && ::GetDlgItem(dialog, static_cast<int>(kPageColumnIds[page][kColumnToMain])))
            return page;
    }
    // The main dialog is the one page without an owner.
    return ::GetWindow(dialog, GW_OWNER) ? -1 : 0;
}

int PageNumber(const wchar_t* name)
{
    for (int i = 0; i < 5; ++i) {
        if (_wcsicmp(name, kPageNames[i]) == 0)
            return i;
    }
    return -1;
}

HWND FindPage(int page)
{
    for (HWND dialog : PanelDialogs()) {
        if (PageOf(dialog) == page)
            return dialog;
    }
    return nullptr;
}

bool ParseNumber(const wchar_t* text, long long* value)
{
    wchar_t* end = nullptr;
    *value = std::wcstoll(text, &end, 0);
    return end && end != text && *end == 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: wintool visible | rect PAGE [ID] | region PAGE X Y | controls PAGE | "
                         "send PAGE MSG [WP [LP]] | post PAGE MSG [WP [LP]] | sendto PAGE ID MSG [WP [LP]] | "
                         "dpichanged PAGE DPI OLDDPI | tray | menu | exit | kill | running | pids | "
                         "combo-items PAGE ID | combo-item PAGE ID INDEX | dialogs | dialog-command TITLE ID | "
                         "dialog-text TITLE ID [TEXT]\n");
    return 2;
}

int Visible()
{
    for (HWND dialog : PanelDialogs()) {
        int page = PageOf(dialog);
        if (page >= 0 && ::IsWindowVisible(dialog))
            std::wprintf(L"%ls\n", kPageNames[page]);
    }
    return 0;
}

int Rect(int argc, wchar_t** argv)
{
    HWND wnd = FindPage(PageNumber(argv[2]));
    if (wnd && argc > 3) {
        long long id = 0;
        if (!ParseNumber(argv[3], &id))
            return Usage();
        wnd = ::GetDlgItem(wnd, static_cast<int>(id));
    }
    if (!wnd)
        return 1;
    windowlist::PrintWindowRect(wnd);
    return 0;
}

int Region(wchar_t** argv)
{
    HWND wnd = FindPage(PageNumber(argv[2]));
    long long x = 0, y = 0;
    if (!ParseNumber(argv[3], &x) || !ParseNumber(argv[4], &y))
        return Usage();
    if (!wnd)
        return 1;
    fw::UniqueRgn rgn(::CreateRectRgn(0, 0, 0, 0));
    int kind = ::GetWindowRgn(wnd, rgn.get());
    bool inside;
    if (kind == ERROR) {
        RECT rc{};
        ::GetWindowRect(wnd, &rc);
        inside = x >= 0 && y >= 0 && x < rc.right - rc.left && y < rc.bottom - rc.top;
    } else {
        inside = ::PtInRegion(rgn.get(), static_cast<int>(x), static_cast<int>(y)) != FALSE;
    }
    std::printf("%s\n", inside ? "in" : "out");
    return 0;
}

int Message(int argc, wchar_t** argv, bool send)
{
    HWND wnd = FindPage(PageNumber(argv[2]));
    long long msg = 0, wp = 0, lp = 0;
    if (!ParseNumber(argv[3], &msg) || (argc > 4 && !ParseNumber(argv[4], &wp)) ||
        (argc > 5 && !ParseNumber(argv[5], &lp)))
        return Usage();
    if (!wnd)
        return 1;
    if (send) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(wnd, static_cast<UINT>(msg), static_cast<WPARAM>(wp), static_cast<LPARAM>(lp),
                                   SMTO_NORMAL, 10000, &result))
            return 1;
        std::printf("%lld\n", static_cast<long long>(static_cast<LONG_PTR>(result)));
        return 0;
    }
    return ::PostMessageW(wnd, static_cast<UINT>(msg), static_cast<WPARAM>(wp), static_cast<LPARAM>(lp)) ? 0 : 1;
}

int Controls(wchar_t** argv)
{
    HWND page = FindPage(PageNumber(argv[2]));
    if (!page)
        return 1;
    RECT pageRect{};
    ::GetWindowRect(page, &pageRect);
    for (HWND control : windowlist::Descendants(page, [page](HWND wnd) {
             return ::GetParent(wnd) == page && ::IsWindowVisible(wnd);
         })) {
        RECT rc{};
        ::GetWindowRect(control, &rc);
        std::printf("%d %ld %ld %ld %ld\n", ::GetDlgCtrlID(control), rc.left - pageRect.left, rc.top - pageRect.top,
                    rc.right - pageRect.left, rc.bottom - pageRect.top);
    }
    return 0;
}

int SendTo(int argc, wchar_t** argv)
{
    HWND page = FindPage(PageNumber(argv[2]));
    long long id = 0, msg = 0, wp = 0, lp = 0;
    if (!ParseNumber(argv[3], &id) || !ParseNumber(argv[4], &msg) || (argc > 5 && !ParseNumber(argv[5], &wp)) ||
        (argc > 6 && !ParseNumber(argv[6], &lp)))
        return Usage();
    HWND control = page ? ::GetDlgItem(page, static_cast<int>(id)) : nullptr;
    if (!control)
        return 1;
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(control, static_cast<UINT>(msg), static_cast<WPARAM>(wp), static_cast<LPARAM>(lp),
                               SMTO_NORMAL, 10000, &result))
        return 1;
    std::printf("%lld\n", static_cast<long long>(static_cast<LONG_PTR>(result)));
    return 0;
}

// The system sends WM_DPICHANGED within the window's own process, its lParam
// pointing at a rectangle there; sent from here, the rectangle is written
// into the panel's memory first, so the message is the one Windows sends.
int DpiChanged(wchar_t** argv)
{
    HWND page = FindPage(PageNumber(argv[2]));
    long long dpi = 0, old = 0;
    if (!ParseNumber(argv[3], &dpi) || !ParseNumber(argv[4], &old) || dpi <= 0 || old <= 0)
        return Usage();
    if (!page)
        return 1;
    RECT rc{};
    ::GetWindowRect(page, &rc);
    const RECT suggested{rc.left, rc.top, rc.left + ::MulDiv(rc.right - rc.left, static_cast<int>(dpi), static_cast<int>(old)),
                         rc.top + ::MulDiv(rc.bottom - rc.top, static_cast<int>(dpi), static_cast<int>(old))};
    DWORD pid = 0;
    ::GetWindowThreadProcessId(page, &pid);
    fw::UniqueKernelHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid));
    if (!process)
        return 1;
    void* remote = ::VirtualAllocEx(process.get(), nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return 1;
    int code = 1;
    DWORD_PTR result = 0;
    if (::WriteProcessMemory(process.get(), remote, &suggested, sizeof suggested, nullptr) &&
        ::SendMessageTimeoutW(page, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                              20000, &result))
        code = 0;
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return code;
}

// Icons of Wine's notification area are child windows of its tray window.
int Tray()
{
    HWND tray = ::FindWindowW(nullptr, L"Wine System Tray");
    const std::vector<HWND> icons = tray ? windowlist::VisibleDescendants(tray) : std::vector<HWND>{};
    bool panelIcon = false;
    HWND main = FindPage(0);
    // The panel's icon is there once the main dialog exists; Wine gives no
    // owner for an icon window, so the count of icons is reported with it.
    panelIcon = main != nullptr && !icons.empty();
    std::printf("%s\n", panelIcon ? "yes" : "no");
    for (HWND icon : icons)
        windowlist::PrintWindowRect(icon);
    return 0;
}

// Open pop-up menus, outermost first: one line per menu window with its
// screen rectangle. (Menu handles of another process cannot be read here, so
// a driver finds an item from the rectangle and the known item count.)
int Menu()
{
    const std::vector<HWND> menus =
        windowlist::TopLevel([](HWND wnd) { return HasClass(wnd, L"#32768") && ::IsWindowVisible(wnd); });
    if (menus.empty())
        return 1;
    // EnumWindows walks the z-order from the top: the deepest submenu first.
    for (auto it = menus.rbegin(); it != menus.rend(); ++it)
        windowlist::PrintWindowRect(*it);
    return 0;
}

void PrintUtf8Line(const std::wstring& text)
{
    const std::wstring line = text + L"\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                            nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr,
                          nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

std::wstring TextOf(HWND wnd)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(wnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The panel's visible dialogs that are not its pages.
std::vector<HWND> OtherDialogs()
{
    std::vector<HWND> dialogs;
    for (HWND dialog : PanelDialogs()) {
        if (PageOf(dialog) < 0 && ::IsWindowVisible(dialog))
            dialogs.push_back(dialog);
    }
    return dialogs;
}

int Dialogs()
{
    for (HWND dialog : OtherDialogs())
        PrintUtf8Line(TextOf(dialog));
    return 0;
}

HWND FindDialog(const wchar_t* title)
{
    for (HWND dialog : OtherDialogs()) {
        if (TextOf(dialog) == title)
            return dialog;
    }
    return nullptr;
}

int DialogCommand(wchar_t** argv)
{
    long long id = 0;
    if (!ParseNumber(argv[3], &id))
        return Usage();
    HWND dialog = FindDialog(argv[2]);
    if (!dialog)
        return 1;
    return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(id), BN_CLICKED), 0) ? 0 : 1;
}

int DialogText(int argc, wchar_t** argv)
{
    long long id = 0;
    if (!ParseNumber(argv[3], &id))
        return Usage();
    HWND dialog = FindDialog(argv[2]);
    HWND control = dialog ? ::GetDlgItem(dialog, static_cast<int>(id)) : nullptr;
    if (!control)
        return 1;
    if (argc > 4) {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_NORMAL, 10000,
                                     &result)
                   ? 0
                   : 1;
    }
    // A control of another process gives its text only when asked by message.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length))
        return 1;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                               10000, &got))
        return 1;
    text.resize(static_cast<size_t>(got));
    PrintUtf8Line(text);
    return 0;
}

bool SendFor(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result)
{
    return ::SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL, 10000, result) != 0;
}

int ComboItems(wchar_t** argv)
{
    long long id = 0;
    if (!ParseNumber(argv[3], &id))
        return Usage();
    HWND page = FindPage(PageNumber(argv[2]));
    HWND combo = page ? ::GetDlgItem(page, static_cast<int>(id)) : nullptr;
    DWORD_PTR count = 0;
    if (!combo || !SendFor(combo, CB_GETCOUNT, 0, 0, &count))
        return 1;
    for (WPARAM i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!SendFor(combo, CB_GETLBTEXTLEN, i, 0, &length) || static_cast<LRESULT>(length) == CB_ERR)
            return 1;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        DWORD_PTR got = 0;
        if (!SendFor(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()), &got))
            return 1;
        text.resize(static_cast<size_t>(got));
        PrintUtf8Line(text);
    }
    return 0;
}

int ComboItem(wchar_t** argv)
{
    long long id = 0, index = 0;
    if (!ParseNumber(argv[3], &id) || !ParseNumber(argv[4], &index))
        return Usage();
    HWND page = FindPage(PageNumber(argv[2]));
    HWND combo = page ? ::GetDlgItem(page, static_cast<int>(id)) : nullptr;
    DWORD_PTR dropped = 0, top = 0, height = 0;
    if (!combo || !SendFor(combo, CB_GETDROPPEDSTATE, 0, 0, &dropped) || !dropped ||
        !SendFor(combo, CB_GETTOPINDEX, 0, 0, &top) || !SendFor(combo, CB_GETITEMHEIGHT, 0, 0, &height))
        return 1;
    // The open drop-down list is the panel's one visible list window; its
    // client area starts with the top entry.
    DWORD panel = 0;
    ::GetWindowThreadProcessId(combo, &panel);
    const std::vector<HWND> lists = windowlist::TopLevel([panel](HWND wnd) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        return pid == panel && HasClass(wnd, L"ComboLBox") && ::IsWindowVisible(wnd);
    });
    if (lists.size() != 1)
        return 1;
    RECT client{};
    ::GetClientRect(lists[0], &client);
    POINT origin{0, 0};
    ::ClientToScreen(lists[0], &origin);
    const long long row = index - static_cast<long long>(top);
    const int itemTop = origin.y + static_cast<int>(row * static_cast<long long>(height));
    if (row < 0 || itemTop + static_cast<int>(height) > origin.y + client.bottom)
        return 1;
    std::printf("%ld %d %ld %d\n", origin.x, itemTop, origin.x + client.right, itemTop + static_cast<int>(height));
    return 0;
}

std::vector<DWORD> PanelProcesses()
{
    std::vector<DWORD> pids;
    for (HWND dialog : PanelDialogs()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(dialog, &pid);
        bool known = false;
        for (DWORD p : pids)
            known = known || p == pid;
        if (!known)
            pids.push_back(pid);
    }
    return pids;
}

int Exit()
{
    HWND main = FindPage(0);
    if (!main)
        return 1;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(main, &pid);
    fw::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
    if (!process)
        return 0;
    DWORD waited = ::WaitForSingleObject(process.get(), 15000);
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

int Kill()
{
    for (DWORD pid : PanelProcesses()) {
        fw::UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (!process)
            continue;
        ::TerminateProcess(process.get(), 9);
        ::WaitForSingleObject(process.get(), 5000);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    std::wstring cmd = argv[1];
    if (cmd == L"visible")
        return Visible();
    if (cmd == L"rect" && argc >= 3)
        return Rect(argc, argv);
    if (cmd == L"region" && argc >= 5)
        return Region(argv);
    if ((cmd == L"send" || cmd == L"post") && argc >= 4)
        return Message(argc, argv, cmd == L"send");
    if (cmd == L"controls" && argc >= 3)
        return Controls(argv);
    if (cmd == L"sendto" && argc >= 5)
        return SendTo(argc, argv);
    if (cmd == L"dpichanged" && argc >= 5)
        return DpiChanged(argv);
    if (cmd == L"tray")
        return Tray();
    if (cmd == L"menu")
        return Menu();
    if (cmd == L"exit")
        return Exit();
    if (cmd == L"kill")
        return Kill();
    if (cmd == L"running")
        return FindPage(0) ? 0 : 1;
    if (cmd == L"combo-items" && argc >= 4)
        return ComboItems(argv);
    if (cmd == L"combo-item" && argc >= 5)
        return ComboItem(argv);
    if (cmd == L"dialogs")
        return Dialogs();
    if (cmd == L"dialog-command" && argc >= 4)
        return DialogCommand(argv);
    if (cmd == L"dialog-text" && argc >= 4)
        return DialogText(argc, argv);
    if (cmd == L"pids") {
        for (DWORD pid : PanelProcesses())
            std::printf("%lu\n", static_cast<unsigned long>(pid));
        return 0;
    }
    return Usage();
}
