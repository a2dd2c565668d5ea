#include "CrashHandler.h"
#include "ErrorReport.h"
#include "Log.h"
#include "ZephrinApp.h"

namespace {

// The panel runs elevated: every library loaded at run time comes from the
// program's own folder or the system folder, never from the current folder
// or the search path. A system without the call (an unpatched Windows 7)
// at least drops the current folder.
void RestrictLibrarySearch()
{
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
        ::SetDllDirectoryW(L"");
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictLibrarySearch();
    diag::InstallCrashHandler();
    // What the framework's barriers stop goes into the log.
    fw::SetErrorReporter(&diag::LogLine);
    CZephrinApp app;
    return app.Run();
}
