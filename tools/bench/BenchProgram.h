#pragma once
// What zbench measures the panel and the baseline program with: a program
// started as a person's system starts it (a new process each time) and
// watched from outside, and the panel's messages sent and timed.
#include "resource.h"

#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

// Milliseconds on the performance counter.
double Now();
// Reports a failure on stderr and ends zbench with exit code 1.
[[noreturn]] void Fail(const char* what);
// Visible icons of Wine's notification area.
int TrayIconCount();
bool WaitForTrayCount(int wanted, double timeoutMs);
// Top-level windows of a process with the given class name.
std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* className);
// The page number (0 Main ... 4 Hp) a page window shows, or -1.
int PageOf(HWND dialog);

// The class of the baseline tray program's hidden window.
inline constexpr wchar_t kBaselineClass[] = L"ZephrinBenchBaseline";

class Program {
public:
    Program(const std::wstring& exe, bool panel) : m_exe(exe), m_panel(panel) {}
    ~Program() { End(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts the program and returns the milliseconds from process creation
    // until its icon is in the notification area.
    double Start()
    {
        const int before = TrayIconCount();
        std::wstring folder = m_exe.substr(0, m_exe.find_last_of(L"\\/"));
        std::wstring command = L"\"" + m_exe + L"\"";
        // The program gets none of our standard handles: whoever reads our
        // output through a pipe must not wait for the program to end.
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        const double t0 = Now();
        if (!::CreateProcessW(m_exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                              &m_pi))
            Fail("cannot start the program");
        if (!WaitForTrayCount(before + 1, 30000))
            Fail("the program's tray icon did not appear within 30 s");
        const double elapsed = Now() - t0;
        m_trayBefore = before;
        return elapsed;
    }

    // Ends the program the way its user would and waits until its icon has gone.
    void End()
    {
        if (!m_pi.hProcess)
            return;
        if (m_panel) {
            if (HWND main = MainDialog())
                ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
        } else {
            for (HWND wnd : WindowsOf(m_pi.dwProcessId, kBaselineClass))
                ::PostMessageW(wnd, WM_CLOSE, 0, 0);
        }
        if (::WaitForSingleObject(m_pi.hProcess, 20000) != WAIT_OBJECT_0) {
            ::TerminateProcess(m_pi.hProcess, 9);
            ::WaitForSingleObject(m_pi.hProcess, 5000);
        }
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
        m_pi = PROCESS_INFORMATION{};
        WaitForTrayCount(m_trayBefore, 15000);
    }

    // Leaves the program running when this object goes.
    void Detach()
    {
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
        m_pi = PROCESS_INFORMATION{};
    }

    double WorkingSetMB() const
    {
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        if (!::GetProcessMemoryInfo(m_pi.hProcess, &pmc, sizeof pmc))
            return -1;
        return static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
    }

    double CpuMs() const
    {
        FILETIME created, exited, kernel, user;
        if (!::GetProcessTimes(m_pi.hProcess, &created, &exited, &kernel, &user))
            return -1;
        auto ms = [](const FILETIME& f) {
            return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
        };
        return ms(kernel) + ms(user);
    }

    HWND MainDialog() const
    {
        for (HWND wnd : WindowsOf(m_pi.dwProcessId, L"#32770")) {
            if (!::GetWindow(wnd, GW_OWNER))
                return wnd;
        }
        return nullptr;
    }

    HWND Page(int page) const
    {
        for (HWND wnd : WindowsOf(m_pi.dwProcessId, L"#32770")) {
            if (PageOf(wnd) == page)
                return wnd;
        }
        return nullptr;
    }

    // Waits until the panel's start-up has ended: the main dialog answers.
    HWND WaitUntilAnswering() const
    {
        HWND main = MainDialog();
        DWORD_PTR result = 0;
        if (!main || !::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result))
            Fail("the panel's main dialog does not answer");
        return main;
    }

private:
    std::wstring m_exe;
    bool m_panel;
    PROCESS_INFORMATION m_pi{};
    int m_trayBefore = 0;
};

// Sends a message and returns how long the receiver took to answer it.
double Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// Presses the page column button that leads from one page to another and
// returns how long the panel took to handle it.
double SwitchPage(const Program& panel, int from, int to);
// Shows `page` from `current` (nothing when it is already shown); returns it.
int ShowPage(const Program& panel, int current, int page);
// The language the panel starts in, so a measurement can leave it as it was.
LPARAM StoredLanguage();
// Waits until the panel answers, `ms` more, and until it answers again.
void Settle(const Program& panel, DWORD ms);
