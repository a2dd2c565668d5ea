#include "PanelProcess.h"
#include "StandInControl.h"
#include "TestSupport.h"

#include <string>

namespace {

constexpr UINT kExitCommand = 32783;

bool IsDialogWindow(HWND wnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(wnd, name, 32);
    return std::wstring(name) == L"#32770";
}

} // namespace

PanelProcess::~PanelProcess()
{
    if (m_info.hProcess) {
        Exit();
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
}

bool PanelProcess::Start()
{
    return Start(testsupport::ProgramFolder(), {});
}

bool PanelProcess::Start(const std::wstring& programFolder, const std::wstring& currentFolder)
{
    std::wstring path = programFolder + L"\\Zephrin.exe";
    std::wstring commandLine = L"\"" + path + L"\"";
    const std::wstring& current = currentFolder.empty() ? programFolder : currentFolder;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return ::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, current.c_str(),
                            &startup, &m_info) != FALSE;
}

bool PanelProcess::WaitForExit(DWORD milliseconds)
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD PanelProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

std::vector<HWND> PanelProcess::Windows() const
{
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{m_info.dwProcessId, {}};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(wnd, &pid);
            if (pid == s->pid)
                s->found.push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> PanelProcess::VisibleWindows() const
{
    std::vector<HWND> visible;
    for (HWND wnd : Windows())
        if (::IsWindowVisible(wnd))
            visible.push_back(wnd);
    return visible;
}

HWND PanelProcess::MainDialog() const
{
    for (HWND wnd : Windows())
        if (IsDialogWindow(wnd) && !::GetWindow(wnd, GW_OWNER))
            return wnd;
    return nullptr;
}

HWND PanelProcess::WaitForMainDialog(DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    do {
        if (HWND main = MainDialog()) {
            int pages = 0;
            for (HWND wnd : Windows())
                if (IsDialogWindow(wnd) && ::GetWindow(wnd, GW_OWNER) == main)
                    ++pages;
            if (pages >= 4)
                return main;
        }
        if (WaitForExit(20))
            return nullptr;
    } while (::GetTickCount() - start < milliseconds);
    return nullptr;
}

bool PanelProcess::WaitForListeners(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    do {
        CasProcessReport report{};
        if (CasGetProcessReport(m_info.dwProcessId, &report) == S_OK && report.inForce[0] == 3 &&
            report.inForce[1] == 19 && report.inForce[2] == 1)
            return true;
        if (WaitForExit(25))
            return false;
    } while (::GetTickCount() - start < milliseconds);
    return false;
}

bool PanelProcess::Exit()
{
    if (!m_info.hProcess || WaitForExit(0))
        return true;
    if (HWND main = MainDialog())
        ::PostMessageW(main, WM_COMMAND, kExitCommand, 0);
    // Removing the tray icon takes about two seconds under Wine, and each
    // page that was shown adds about two more.
    if (WaitForExit(20000))
        return true;
    ::TerminateProcess(m_info.hProcess, 1);
    WaitForExit(5000);
    return false;
}
