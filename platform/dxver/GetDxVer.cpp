// Finds the newest Direct3D generation by the system libraries that can be
// loaded and that export the entry point of their generation. The libraries
// are taken from the system folder only and unloaded again at once.
#include "GetDxVer.h"

#include <windows.h>

namespace {

struct Generation {
    int version;
    const wchar_t* library;
    const char* entryPoint;
};

// Newest first: the first one present is the answer.
constexpr Generation kGenerations[] = {
    {12, L"d3d12.dll", "D3D12CreateDevice"},
    {11, L"d3d11.dll", "D3D11CreateDevice"},
    {10, L"d3d10.dll", "D3D10CreateDevice"},
    {9, L"d3d9.dll", "Direct3DCreate9"},
    {8, L"d3d8.dll", "Direct3DCreate8"},
    {7, L"ddraw.dll", "DirectDrawCreateEx"},
};

bool SystemProvides(const Generation& generation)
{
    HMODULE module = ::LoadLibraryExW(generation.library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module)
        return false;
    const bool present = ::GetProcAddress(module, generation.entryPoint) != nullptr;
    ::FreeLibrary(module);
    return present;
}

} // namespace

extern "C" VEK_GETDXVER_API int Vek_GetDxVer(void)
{
    // A failed lookup must not show a dialog to the user.
    DWORD oldMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    int found = 0;
    for (const Generation& generation : kGenerations) {
        if (SystemProvides(generation)) {
            found = generation.version;
            break;
        }
    }
    ::SetThreadErrorMode(oldMode, nullptr);
    return found;
}
