// setupwin: lets the installer test see a setup's windows from the outside,
// as a person reads them: the texts on the screen and where a button is.
//
//   setupwin texts           every visible top-level window: its title, then
//                            the text of each visible control, one a line
//   setupwin button TEXT     screen rectangle (left top right bottom) of the
//                            visible, enabled button labelled TEXT (without
//                            its & marker), topmost window first
//   setupwin checked TEXT    "checked" or "unchecked": the visible check box
//                            labelled TEXT
//   setupwin windows TITLE   screen rectangles of the visible top-level
//                            windows whose title begins with TITLE (a setup
//                            adds the page's name), topmost first
//   setupwin version FILE    the file version of a program's version resource
//
// Output is UTF-8. Exit code 0 on success, 1 when no such button, 2 on misuse.
#include "WindowList.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using windowlist::VisibleDescendants;
using windowlist::VisibleTopLevel;

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND wnd)
{
    // WM_GETTEXT works across processes for the standard controls a setup uses.
    wchar_t buffer[2048] = {};
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::wstring WithoutMarker(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c != L'&')
            out += c;
    }
    return out;
}

int Texts()
{
    for (HWND top : VisibleTopLevel()) {
        std::wstring title = TextOf(top);
        std::vector<HWND> children = VisibleDescendants(top);
        if (title.empty() && children.empty())
            continue;
        std::printf("window: %s\n", Utf8(title).c_str());
        for (HWND child : children) {
            std::wstring text = TextOf(child);
            if (!text.empty())
                std::printf("  %s\n", Utf8(text).c_str());
        }
    }
    return 0;
}

HWND FindButton(const std::wstring& label)
{
    for (HWND top : VisibleTopLevel()) {
        for (HWND child : VisibleDescendants(top)) {
            wchar_t cls[32] = {};
            ::GetClassNameW(child, cls, 32);
            if (_wcsicmp(cls, L"Button") == 0 && ::IsWindowEnabled(child) && WithoutMarker(TextOf(child)) == label)
                return child;
        }
    }
    return nullptr;
}

int Checked(const std::wstring& label)
{
    HWND box = FindButton(label);
    if (!box)
        return 1;
    LRESULT state = BST_UNCHECKED;
    ::SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, reinterpret_cast<PDWORD_PTR>(&state));
    std::printf("%s\n", state == BST_CHECKED ? "checked" : "unchecked");
    return 0;
}

int Button(const std::wstring& label)
{
    HWND button = FindButton(label);
    if (!button)
        return 1;
    windowlist::PrintWindowRect(button);
    return 0;
}

int Windows(const std::wstring& title)
{
    for (HWND top : VisibleTopLevel()) {
        if (TextOf(top).compare(0, title.size(), title) != 0)
            continue;
        windowlist::PrintWindowRect(top);
    }
    return 0;
}

int Version(const wchar_t* file)
{
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0)
        return 1;
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoW(file, 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return 1;
    std::printf("%u.%u.%u.%u\n", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring cmd = argc >= 2 ? argv[1] : L"";
    if (cmd == L"texts")
        return Texts();
    if (cmd == L"button" && argc >= 3)
        return Button(argv[2]);
    if (cmd == L"checked" && argc >= 3)
        return Checked(argv[2]);
    if (cmd == L"windows" && argc >= 3)
        return Windows(argv[2]);
    if (cmd == L"version" && argc >= 3)
        return Version(argv[2]);
    std::fprintf(stderr, "usage: setupwin texts | button TEXT | checked TEXT | windows TITLE | version FILE\n");
    return 2;
}
