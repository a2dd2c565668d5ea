#include "ZephrinApp.h"

#include "CommandLine.h"
#include "Log.h"
#include "RestartAfterFault.h"
#include "ZephrinDlg.h"
#include "version.h"

#include <commctrl.h>

namespace {
const wchar_t kInstanceMutexName[] = L"CDorvaneApp";
}

BOOL CZephrinApp::InitInstance()
{
    // A script's export or import runs beside a panel, without a window.
    const std::vector<std::wstring> arguments = commandline::Arguments();
    if (commandline::IsOperation(arguments)) {
        m_exitCode = commandline::RunOperation(arguments);
        return FALSE;
    }

    diag::LogLine(L"Zephrin " ZEPHRIN_VERSION_TEXT L" starts");
    // A second start ends at once and silently; the running panel is not told.
    m_instanceMutex.reset(::CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        diag::LogLine(L"Ended at start: another copy of the panel is running");
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    ::InitCommonControlsEx(&controls);

    {
        CZephrinDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    // Ended on purpose (or never started for want of the card): not restarted.
    WithdrawRestartAfterFault();
    // The dialog has ended: no message loop is to be run.
    return FALSE;
}
