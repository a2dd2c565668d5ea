#include "FileDialogs.h"

#include "Dialog.h"
#include "Handles.h"

#include <commdlg.h>
#include <objbase.h>

#include <algorithm>
#include <thread>

namespace filedialogs {

namespace {

constexpr DWORD kPathLimit = 32768;

struct Request {
    HWND owner;
    bool save;
    std::wstring title;
    std::wstring filter; // description\0pattern\0 ... \0
    std::wstring suggested;
    std::wstring extension;
    std::wstring chosen;
};

void ShowDialog(Request& request)
{
    const bool joined = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    std::vector<wchar_t> file(kPathLimit, L'\0');
    request.suggested.copy(file.data(), std::min<size_t>(request.suggested.size(), kPathLimit - 1));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathLimit;
    ofn.lpstrTitle = request.title.c_str();
    ofn.lpstrDefExt = request.extension.empty() ? nullptr : request.extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_DONTADDTORECENT;
    ofn.Flags |= request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL chosen = request.save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (chosen)
        request.chosen = file.data();
    if (joined)
        ::CoUninitialize();
}

std::wstring Run(Request request, const std::vector<Filter>& filters)
{
    for (const Filter& f : filters) {
        request.filter += f.description;
        request.filter += L'\0';
        request.filter += f.pattern;
        request.filter += L'\0';
    }
    fw::UniqueKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done)
        return {};
    HANDLE signal = done.get();
    std::thread worker([&request, signal] {
        ShowDialog(request);
        ::SetEvent(signal);
    });
    // The dialog disables its owner and talks to it while it is open: the
    // interface thread keeps handling its messages (and the tray's) meanwhile.
    bool quit = false;
    int quitCode = 0;
    while (::MsgWaitForMultipleObjects(1, &signal, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            if (!CDialog::PreTranslateInput(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    worker.join();
    if (quit)
        ::PostQuitMessage(quitCode);
    return request.chosen;
}

} // namespace

std::wstring AskOpen(HWND owner, const std::wstring& title, const std::vector<Filter>& filters)
{
    return Run(Request{owner, false, title, {}, {}, {}, {}}, filters);
}

std::wstring AskSave(HWND owner, const std::wstring& title, const std::vector<Filter>& filters,
                     const std::wstring& suggested, const std::wstring& extension)
{
    return Run(Request{owner, true, title, {}, suggested, extension, {}}, filters);
}

} // namespace filedialogs
