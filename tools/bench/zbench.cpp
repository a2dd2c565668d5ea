// zbench: the measuring half of scripts/bench. It runs in the panel's Wine
// prefix, starts the panel and the baseline tray program as a person's system
// would (a new process each time), and measures them from outside: the time
// from process creation until the notification area shows the new icon, the
// working set, the CPU time spent while idle, and the time the panel takes
// to answer the messages that a click, a key or another program send it.
//
//   zbench start N NAME=EXE...        N cold starts of each, alternating; a
//                                     NAME@DPI starts at that display scale
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
//   zbench floor PANEL REPS           the floor of the page and language
//                                     switches (FloorBench.h)
//
// "zbench --dpi N COMMAND ..." runs the programs of the command at display
// scale N. Wine reads the scale (LogPixels) once per process when it starts,
// so each program started here gets it; the notification area's process,
// started earlier, keeps its own (it only shows the icon).
//
// Every command prints one JSON object on stdout. Times are in milliseconds.
#include "BenchProgram.h"
#include "FloorBench.h"
#include "PanelMessages.h"
#include "ids_hifi.h"
#include "ids_main.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t* const kPageNames[5] = {L"main", L"hifi", L"digital", L"info", L"hp"};

// The display scale the next program started gets: LogPixels of the user's
// desktop settings, or the default (96) when `dpi` is 0.
void SetStartDpi(DWORD dpi)
{
    const wchar_t key[] = L"Control Panel\\Desktop";
    if (dpi == 0) {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"LogPixels");
        return;
    }
    if (::RegSetKeyValueW(HKEY_CURRENT_USER, key, L"LogPixels", REG_DWORD, &dpi, sizeof dpi) != ERROR_SUCCESS)
        Fail("cannot set the display scale");
}

// Sets the display scale for the programs started in its lifetime; the
// default scale again afterwards.
class StartDpi {
public:
    explicit StartDpi(DWORD dpi) : m_dpi(dpi)
    {
        if (m_dpi)
            SetStartDpi(m_dpi);
    }
    ~StartDpi()
    {
        if (m_dpi)
            SetStartDpi(0);
    }
    StartDpi(const StartDpi&) = delete;
    StartDpi& operator=(const StartDpi&) = delete;

private:
    DWORD m_dpi;
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


// Programs are given as NAME=PATH; the one named "baseline" is the baseline
// tray program, every other one a panel.
int Start(int n, int count, wchar_t** programs)
{
    struct Entry {
        std::wstring name, exe;
        std::vector<double> ms;
        DWORD dpi;
    };
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        std::wstring arg = programs[i];
        size_t eq = arg.find(L'=');
        if (eq == std::wstring::npos)
            Fail("programs are given as NAME=PATH");
        const std::wstring name = arg.substr(0, eq);
        const size_t at = name.find(L'@');
        const DWORD dpi = at == std::wstring::npos ? 0 : static_cast<DWORD>(_wtoi(name.c_str() + at + 1));
        entries.push_back({name, arg.substr(eq + 1), {}, dpi});
    }
    for (int i = 0; i < n; ++i) {
        // Alternating, each round beginning with the next program, so a slow
        // phase of the machine falls on all of them.
        for (size_t k = 0; k < entries.size(); ++k) {
            Entry& e = entries[(static_cast<size_t>(i) + k) % entries.size()];
            const bool isPanel = e.name != L"baseline";
            StartDpi scale(e.dpi);
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
        Send(main, WM_SHOW_PAGE, 0, 0);
        for (LPARAM lang = 0; lang < 3; ++lang) {
            Send(main, WM_SET_LANGUAGE, 0, lang);
            for (int page : {1, 2, 3, 4, 0})
                current = ShowPage(p, current, page);
        }
        Send(main, WM_SET_LANGUAGE, 0, language);
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
    Send(main, WM_SHOW_PAGE, 0, 0);
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
        languages.push_back(Send(main, WM_SET_LANGUAGE, 0, (language + 1 + i) % 3));
    Send(main, WM_SET_LANGUAGE, 0, language);

    // One key step of a band: the slider's own handling, then the page's
    // handling of the move it reports (the report is also posted; the pause
    // lets that copy pass before the next step).
    std::vector<double> bands;
    current = ShowPage(p, current, 1);
    HWND hifi = p.Page(1);
    HWND band = ::GetDlgItem(hifi, IDC_HIFI_BAND_5);
    for (int i = 0; i < reps; ++i) {
        const WPARAM key = (i / 10) % 2 ? VK_DOWN : VK_UP;
        double ms = Send(band, WM_KEYDOWN, key, 0);
        ms += Send(hifi, WM_SLIDER_TRACK, IDC_HIFI_BAND_5, 0);
        bands.push_back(ms);
        ::Sleep(2);
    }

    std::vector<double> knobs;
    current = ShowPage(p, current, 0);
    HWND knob = ::GetDlgItem(main, IDC_MASTER_KNOB);
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
        refreshes.push_back(Send(main, WM_VOLUME_CHANGED, 0, 0));

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
    Send(p.MainDialog(), WM_SHOW_PAGE, 0, 0);
    ShowPage(p, 0, page);
    // The screen rectangle of the 1 kHz band, for a drag on the Hifi page.
    RECT band{};
    if (HWND shown = p.Page(page))
        ::GetWindowRect(::GetDlgItem(shown, IDC_HIFI_BAND_5), &band);
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
        ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
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

int FloorFigures(const std::wstring& panelExe, int reps)
{
    const FloorTimes times = MeasureFloor(panelExe, reps);
    std::printf("{\n  \"pages\": [");
    for (size_t i = 0; i < times.pages.size(); ++i) {
        const FloorPage& page = times.pages[i];
        std::printf("%s{\"width\": %d, \"height\": %d, \"rects\": %zu}", i ? ", " : "", page.width, page.height,
                    page.rects.size());
    }
    std::printf("],\n");
    PrintStats("page_switch", times.pageSwitch);
    PrintStats("language_switch", times.languageSwitch, true);
    std::printf("}\n");
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: zbench [--dpi N] start N NAME[@DPI]=EXE... | memory PANEL BASELINE | idle PANEL SECONDS | "
                         "actions PANEL REPS | show PANEL PAGE | launch PANEL | exit | storewait KEY NAME [VALUE] | "
                         "floor PANEL REPS\n");
    return 2;
}

} // namespace

int Command(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 4 && std::wcscmp(argv[1], L"--dpi") == 0) {
        StartDpi scale(static_cast<DWORD>(_wtoi(argv[2])));
        argv[2] = argv[0];
        return Command(argc - 2, argv + 2);
    }
    return Command(argc, argv);
}

int Command(int argc, wchar_t** argv)
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
    if (cmd == L"floor" && argc == 4)
        return FloorFigures(argv[2], std::max(20, _wtoi(argv[3])));
    if (cmd == L"storewait" && (argc == 4 || argc == 5))
        return StoreWait(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    return Usage();
}
