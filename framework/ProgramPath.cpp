#include "ProgramPath.h"

#include <windows.h>

namespace fw {

std::wstring ProgramPath()
{
    // A path may be longer than MAX_PATH: the buffer grows until the whole
    // path fits, up to the longest path the system has.
    constexpr size_t kLongestPath = 32768;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= kLongestPath)
            return {};
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder()
{
    const std::wstring path = ProgramPath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

} // namespace fw
