#pragma once
// A Zephrin.exe process started from the test's bin folder, seen from outside
// through its windows.
#include <windows.h>

#include <string>
#include <vector>

class PanelProcess {
public:
    PanelProcess() = default;
    ~PanelProcess();
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    bool Start();
    // Starts the Zephrin.exe of another folder, with `currentFolder` as its
    // current folder (empty: the program's own).
    bool Start(const std::wstring& programFolder, const std::wstring& currentFolder);
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    // True once the process has ended within the timeout.
    bool WaitForExit(DWORD milliseconds);
    DWORD ExitCode() const;

    // Top-level windows of the process.
    std::vector<HWND> Windows() const;
    std::vector<HWND> VisibleWindows() const;
    // The main dialog: the process's dialog window that has no owner.
    HWND MainDialog() const;
    // Waits until the main dialog exists and owns its four pages.
    HWND WaitForMainDialog(DWORD milliseconds);

    // Waits until the panel's start-up timer has registered every listener
    // on the default machine (3 volume, 19 control-change, 1 endpoint
    // notification, as the Core Audio stand-in counts them). Timer ticks come
    // only when no posted message waits, so by then the panel has also handled
    // everything its start queued.
    bool WaitForListeners(DWORD milliseconds);

    // Ends the panel by its tray menu's Exit command; forced (and false) if
    // it does not end by itself.
    bool Exit();

private:
    PROCESS_INFORMATION m_info{};
};
