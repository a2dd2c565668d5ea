#include "RestartAfterFault.h"

#include "Log.h"

#include <windows.h>

#include <cstdio>

namespace {
// The logon task starts the panel without arguments.
const wchar_t kRestartArguments[] = L"";
} // namespace

void RegisterRestartAfterFault()
{
    const HRESULT hr = ::RegisterApplicationRestart(kRestartArguments, RESTART_NO_PATCH | RESTART_NO_REBOOT);
    if (FAILED(hr)) {
        wchar_t line[120];
        std::swprintf(line, 120, L"Windows will not restart the panel after a fault: registration refused (0x%08lX)",
                      static_cast<unsigned long>(hr));
        diag::LogLine(line);
    }
}

void WithdrawRestartAfterFault()
{
    ::UnregisterApplicationRestart();
}
