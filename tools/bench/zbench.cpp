// zbench: the measuring half of scripts/bench. It runs in the panel's Wine
// prefix, starts the panel and the baseline tray program as a person's system
// would (a new process each time), and measures them from outside: the time
// from process creation until the notification area shows the new icon, the
// working set, the CPU time spent while idle, and the time the panel takes
// to answer the messages that a click, a key or another program send it.
//
//   zbench start N NAME=EXE...        N cold starts of each, alternating
//   zbench memory PANEL BASELINE      working sets after start; the panel's
//                                     also after every page in every language
//   zbench idle PANEL SECONDS         CPU ms per second over SECONDS idle
//   zbench actions PANEL REPS         page switches, language switch, band
//                                     step, knob step, refresh after a change
//   zbench show PANEL PAGE            starts the panel and shows a page, for
//                                     drags with the real mouse (left running);
//                                     prints the 1 kHz band's screen rectangle
//   zbench launch PANEL               starts the panel and leaves it running
//   zbench exit                       ends a panel started with "show" or "launch"
//   zbench storewait KEY NAME [VALUE] waits for a value of the panel's store
//
// Every command prints one JSON object on stdout. Times are in milliseconds.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Message numbers and control ids of the panel, as its resources define them.
const UINT kSetLanguage = WM_USER + 100;
const UINT kVolumeChanged = WM_USER + 12;
const UINT kShowPage = 0x7E8;
const UINT kSliderTrack = 0x28D1;
const UINT kExitCommand = 32783;
const int kBand5 = 1038;
const int kMasterKnob = 1022;

// Page column ids: [page][target page]; the diagonal is the page's own button.
const int kColumn[5][5] = {
    {1001, 1002, 1003, 1004, 1087}, // Main
    {1006, 1007, 1008, 1009, 1085}, // Hifi
    {1011, 1012, 1013, 1014, 1085}, // Digital
    {1016, 1017, 1018, 1019, 1085}, // Info
    {1091, 1092, 1093, 1095, 1094}, // Hp
};
// The close and "to Main" buttons identify a page.
const int kPageMarkers[5][2] = {{1000, 1001}, {1005, 1006}, {1010, 1011}, {1015, 1016}, {1085, 1091}};
const wchar_t* const kPageNames[5] = {L"main", L"hifi", L"digital", L"info", L"hp"};
const wchar_t kBaselineClass[] = L"ZephrinBenchBaseline";

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "zbench: %s\n", what);
    std::fflush(stderr);
    ::ExitProcess(1);
}

// Visible icons of Wine's notification area (its icons are child windows).
int TrayIconCount()
{
    HWND tray = ::FindWindowW(nullptr, L"Wine System Tray");
    if (!tray)
        return 0;
    int count = 0;
    ::EnumChildWindows(
        tray,
        [](HWND wnd, LPARAM lp) -> BOOL {
            if (::IsWindowVisible(wnd))
                ++*reinterpret_cast<int*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

bool WaitForTrayCount(int wanted, double timeoutMs)
{
    const double end = Now() + timeoutMs;
    while (Now() < end) {
        if (TrayIconCount() == wanted)
            return true;
        ::Sleep(1);
    }
    return false;
}

// Top-level windows of a process with the given class name.
std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* className)
{
    struct Query {
        DWORD pid;
        const wchar_t* cls;
        std::vector<HWND> found;
    } query{pid, className, {}};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* q = reinterpret_cast<Query*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(wnd, &owner);
            wchar_t cls[64] = {};
            ::GetClassNameW(wnd, cls, 64);
            if (owner == q->pid && std::wcscmp(cls, q->cls) == 0)
                q->found.push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.found;
}

int PageOf(HWND dialog)
{
    // Hp first: its close button shares its id with the other pages' Hp button.
    for (int page : {4, 3, 2, 1, 0}) {
        if (::GetDlgItem(dialog, kPageMarkers[page][0]) && ::GetDlgItem(dialog, kPageMarkers[page][1]))
            return page;
    }
    return -1;
}

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
                ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
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

struct Stats {
    double median = 0, p99 = 0, max = 0;
    size_t n = 0;
};

Stats Summarise(std::vector<double> v)
{
    Stats s;
    s.n = v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    // Nearest rank.
    size_t rank = (99 * v.size() + 99) / 100;
    s.p99 = v[std::min(v.size(), std::max<size_t>(rank, 1)) - 1];
    s.max = v.back();
    return s;
}

void PrintStats(const char* name, const std::vector<double>& v, bool last = false)
{
    Stats s = Summarise(v);
    std::printf("  \"%s\": {\"n\": %zu, \"median\": %.3f, \"p99\": %.3f, \"max\": %.3f}%s\n", name, s.n, s.median, s.p99,
                s.max, last ? "" : ",");
}

void PrintList(const char* name, const std::vector<double>& v, bool last = false)
{
    std::printf("  \"%s\": [", name);
    for (size_t i = 0; i < v.size(); ++i)
        std::printf("%s%.3f", i ? ", " : "", v[i]);
    std::printf("]%s\n", last ? "" : ",");
}

double Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    const double t0 = Now();
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL, 30000, &result))
        Fail("the panel did not answer a message");
    return Now() - t0;
}

// Presses the page column button that leads from one page to another and
// returns how long the panel took to handle it.
double SwitchPage(const Program& panel, int from, int to)
{
    HWND page = panel.Page(from);
    if (!page)
        Fail("a page window is missing");
    const int id = kColumn[from][to];
    return Send(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
}

int ShowPage(const Program& panel, int current, int page)
{
    if (current != page)
        SwitchPage(panel, current, page);
    return page;
}

// The language the panel starts in, so a measurement can leave it as it was.
LPARAM StoredLanguage()
{
    wchar_t text[16] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Marvolin\\VANTIR\\CPL", L"language", RRF_RT_REG_SZ, nullptr,
                       text, &size) != ERROR_SUCCESS)
        return 0;
    return std::wcstol(text, nullptr, 10);
}

void Settle(const Program& panel, DWORD ms)
{
    panel.WaitUntilAnswering();
    ::Sleep(ms);
    panel.WaitUntilAnswering();
}

// Programs are given as NAME=PATH; the one named "baseline" is the baseline
// tray program, every other one a panel.
int Start(int n, int count, wchar_t** programs)
{
    struct Entry {
        std::wstring name, exe;
        std::vector<double> ms;
    };
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        std::wstring arg = programs[i];
        size_t eq = arg.find(L'=');
        if (eq == std::wstring::npos)
            Fail("programs are given as NAME=PATH");
        entries.push_back({arg.substr(0, eq), arg.substr(eq + 1), {}});
    }
    for (int i = 0; i < n; ++i) {
        // Alternating, each round beginning with the next program, so a slow
        // phase of the machine falls on all of them.
        for (size_t k = 0; k < entries.size(); ++k) {
            Entry& e = entries[(static_cast<size_t>(i) + k) % entries.size()];
            const bool isPanel = e.name != L"baseline";
            Program p(e.exe, isPanel);
            double ms = p.Start();
            e.ms.push_back(ms);
            if (isPanel)
                p.WaitUntilAnswering();
            p.End();
            std::fprintf(stderr, "start %d: %ls %.1f ms\n", i + 1, e.name.c_str(), ms);
        }
    }
    std::printf("{\n");
    for (size_t k = 0; k < entries.size(); ++k) {
        std::string name(entries[k].name.begin(), entries[k].name.end());
        PrintList((name + "_ms").c_str(), entries[k].ms);
        PrintStats(name.c_str(), entries[k].ms, k + 1 == entries.size());
    }
    std::printf("}\n");
    return 0;
}

int Memory(const std::wstring& panelExe, const std::wstring& baselineExe)
{
    double baselineMB, startMB, toursMB;
    {
        Program b(baselineExe, false);
        b.Start();
        ::Sleep(2000);
        baselineMB = b.WorkingSetMB();
    }
    const LPARAM language = StoredLanguage();
    {
        Program p(panelExe, true);
        p.Start();
        Settle(p, 2000);
        startMB = p.WorkingSetMB();
        HWND main = p.MainDialog();
        int current = 0;
        Send(main, kShowPage, 0, 0);
        for (LPARAM lang = 0; lang < 3; ++lang) {
            Send(main, kSetLanguage, 0, lang);
            for (int page : {1, 2, 3, 4, 0})
                current = ShowPage(p, current, page);
        }
        Send(main, kSetLanguage, 0, language);
        Settle(p, 1000);
        toursMB = p.WorkingSetMB();
    }
    std::printf("{\n  \"baseline_mb\": %.2f,\n  \"panel_start_mb\": %.2f,\n  \"panel_all_pages_mb\": %.2f\n}\n",
                baselineMB, startMB, toursMB);
    return 0;
}

int Idle(const std::wstring& panelExe, int seconds)
{
    Program p(panelExe, true);
    p.Start();
    Settle(p, 1000);
    const double c0 = p.CpuMs(), t0 = Now();
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    const double c1 = p.CpuMs(), t1 = Now();
    std::printf("{\n  \"seconds\": %.3f,\n  \"cpu_ms\": %.3f,\n  \"cpu_ms_per_s\": %.4f\n}\n", (t1 - t0) / 1000.0,
                c1 - c0, (c1 - c0) * 1000.0 / (t1 - t0));
    return 0;
}

int Actions(const std::wstring& panelExe, int reps)
{
    const LPARAM language = StoredLanguage();
    Program p(panelExe, true);
    p.Start();
    Settle(p, 1000);
    HWND main = p.MainDialog();
    Send(main, kShowPage, 0, 0);
    int current = 0;

    // Every page to every other, round after round.
    std::vector<double> pages;
    while (static_cast<int>(pages.size()) < reps) {
        for (int from = 0; from < 5; ++from) {
            for (int to = 0; to < 5; ++to) {
                if (from == to)
                    continue;
                current = ShowPage(p, current, from);
                pages.push_back(SwitchPage(p, from, to));
                current = to;
            }
        }
    }
    current = ShowPage(p, current, 0);

    std::vector<double> languages;
    for (int i = 0; i < reps; ++i)
        languages.push_back(Send(main, kSetLanguage, 0, (language + 1 + i) % 3));
    Send(main, kSetLanguage, 0, language);

    // One key step of a band: the slider's own handling, then the page's
    // handling of the move it reports (the report is also posted; the pause
    // lets that copy pass before the next step).
    std::vector<double> bands;
    current = ShowPage(p, current, 1);
    HWND hifi = p.Page(1);
    HWND band = ::GetDlgItem(hifi, kBand5);
    for (int i = 0; i < reps; ++i) {
        const WPARAM key = (i / 10) % 2 ? VK_DOWN : VK_UP;
        double ms = Send(band, WM_KEYDOWN, key, 0);
        ms += Send(hifi, kSliderTrack, kBand5, 0);
        bands.push_back(ms);
        ::Sleep(2);
    }

    std::vector<double> knobs;
    current = ShowPage(p, current, 0);
    HWND knob = ::GetDlgItem(main, kMasterKnob);
    for (int i = 0; i < reps; ++i) {
        const bool up = (i / 10) % 2 == 0;
        double ms = Send(knob, WM_KEYDOWN, up ? VK_RIGHT : VK_LEFT, 0);
        ms += Send(main, WM_HSCROLL, up ? TB_LINEDOWN : TB_LINEUP, reinterpret_cast<LPARAM>(knob));
        knobs.push_back(ms);
        ::Sleep(2);
    }

    // What the panel does when another program changed a volume.
    std::vector<double> refreshes;
    for (int i = 0; i < reps; ++i)
        refreshes.push_back(Send(main, kVolumeChanged, 0, 0));

    std::printf("{\n");
    PrintStats("page_switch", pages);
    PrintStats("language_switch", languages);
    PrintStats("band_step", bands);
    PrintStats("knob_step", knobs);
    PrintStats("refresh", refreshes, true);
    std::printf("}\n");
    return 0;
}

int Show(const std::wstring& panelExe, int page)
{
    Program p(panelExe, true);
    p.Start();
    Settle(p, 500);
    Send(p.MainDialog(), kShowPage, 0, 0);
    ShowPage(p, 0, page);
    // The screen rectangle of the 1 kHz band, for a drag on the Hifi page.
    RECT band{};
    if (HWND shown = p.Page(page))
        ::GetWindowRect(::GetDlgItem(shown, kBand5), &band);
    p.Detach();
    std::printf("%ld %ld %ld %ld\n", band.left, band.top, band.right, band.bottom);
    return 0;
}

int Launch(const std::wstring& panelExe)
{
    Program p(panelExe, true);
    p.Start();
    Settle(p, 1000);
    p.Detach();
    std::printf("{\"launched\": true}\n");
    return 0;
}

int ExitPanel()
{
    // The panel of the last "show": the only one running in this prefix.
    std::vector<HWND> dialogs;
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            wchar_t cls[16] = {};
            ::GetClassNameW(wnd, cls, 16);
            if (std::wcscmp(cls, L"#32770") == 0 && !::GetWindow(wnd, GW_OWNER) && PageOf(wnd) == 0)
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    for (HWND main : dialogs) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(main, &pid);
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
        ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
        if (process) {
            ::WaitForSingleObject(process, 20000);
            ::CloseHandle(process);
        }
    }
    std::printf("{\"ended\": %zu}\n", dialogs.size());
    return 0;
}

std::wstring ReadStoreValue(const std::wstring& subkey, const std::wstring& name)
{
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    const std::wstring key = L"Software\\Marvolin\\VANTIR\\" + subkey;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return L"";
    return text;
}

// Waits until a value of the panel's store equals `wanted` and prints the
// moment it was seen (Unix time in ms); without `wanted`, until the value has
// not changed for 300 ms, and prints it.
int StoreWait(const std::wstring& subkey, const std::wstring& name, const wchar_t* wanted)
{
    const double end = Now() + 30000;
    if (wanted) {
        while (Now() < end) {
            if (ReadStoreValue(subkey, name) == wanted) {
                FILETIME ft;
                ::GetSystemTimeAsFileTime(&ft);
                const ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
                std::printf("%.3f\n", static_cast<double>(t - 116444736000000000ULL) / 10000.0);
                return 0;
            }
            ::Sleep(0);
        }
        Fail("the store value did not reach the wanted one");
    }
    std::wstring last = ReadStoreValue(subkey, name);
    double since = Now();
    while (Now() < end) {
        ::Sleep(10);
        std::wstring now = ReadStoreValue(subkey, name);
        if (now != last) {
            last = now;
            since = Now();
        } else if (Now() - since >= 300) {
            std::printf("%ls\n", last.c_str());
            return 0;
        }
    }
    Fail("the store value did not settle");
}

int Usage()
{
    std::fprintf(stderr, "usage: zbench start N NAME=EXE... | memory PANEL BASELINE | idle PANEL SECONDS | "
                         "actions PANEL REPS | show PANEL PAGE | launch PANEL | exit | storewait KEY NAME [VALUE]\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring cmd = argv[1];
    if (cmd == L"start" && argc >= 5)
        return Start(std::max(1, _wtoi(argv[2])), argc - 3, argv + 3);
    if (cmd == L"memory" && argc == 4)
        return Memory(argv[2], argv[3]);
    if (cmd == L"idle" && argc == 4)
        return Idle(argv[2], std::max(1, _wtoi(argv[3])));
    if (cmd == L"actions" && argc == 4)
        return Actions(argv[2], std::max(20, _wtoi(argv[3])));
    if (cmd == L"show" && argc == 4) {
        for (int page = 0; page < 5; ++page) {
            if (_wcsicmp(argv[3], kPageNames[page]) == 0)
                return Show(argv[2], page);
        }
        return Usage();
    }
    if (cmd == L"launch" && argc == 3)
        return Launch(argv[2]);
    if (cmd == L"exit")
        return ExitPanel();
    if (cmd == L"storewait" && (argc == 4 || argc == 5))
        return StoreWait(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    return Usage();
}
