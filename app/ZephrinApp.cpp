#include "ZephrinApp.h"

#include "CommandLine.h"
#include "ZephrinDlg.h"

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

    // A second start ends at once and silently; the running panel is not told.
    m_instanceMutex.reset(::CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        return FALSE;

    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    ::InitCommonControlsEx(&controls);

    {
        CZephrinDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    // The dialog has ended: no message loop is to be run.
    return FALSE;
}
