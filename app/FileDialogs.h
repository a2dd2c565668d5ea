#pragma once
// The system's Open and Save As dialogs for the panel's files. The panel's
// interface thread lives in the multithreaded COM apartment, where the shell
// objects behind these dialogs do not work (folders such as Documents cannot
// be browsed), so each dialog runs on a thread of its own in a
// single-threaded apartment while the interface thread keeps handling its
// messages.
#include <windows.h>

#include <string>
#include <vector>

namespace filedialogs {

struct Filter {
    std::wstring description; // "Zephrin settings (*.txt)"
    std::wstring pattern;     // "*.txt"
};

// The file the person chose, or empty when the dialog was cancelled.
std::wstring AskOpen(HWND owner, const std::wstring& title, const std::vector<Filter>& filters);
// With `suggested` as the first name; asks before replacing a file that
// exists; `extension` is added to a name typed without one.
std::wstring AskSave(HWND owner, const std::wstring& title, const std::vector<Filter>& filters,
                     const std::wstring& suggested, const std::wstring& extension);

} // namespace filedialogs
