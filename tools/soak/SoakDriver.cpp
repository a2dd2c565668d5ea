// The long-run driver of scripts/soak: starts the panel from its folder and
// works it from outside as the tray menu, the page buttons, the mouse and
// another program would, thousands of times, then reports the growth of the
// panel's working set, handle count and GDI objects against stated bounds and
// how fast it still answers.
//
//   soakdriver [--languages N] [--pages N] [--drags N] [--volumes N]
//
// Exit code 0 when every bound holds and every action had its effect.
#include "Handles.h"
#include "PageColumn.h"
#include "PanelMessages.h"
#include "ProcessFigures.h"
#include "resource.h"
#include "ids_hifi.h"
#include "ids_main.h"

#include <audioclient.h>
#include <commctrl.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Bounds on the growth from the figures after the warm-up round to the end.
constexpr SIZE_T kWorkingSetBound = 4 * 1024 * 1024;
constexpr long kHandleBound = 8;
constexpr long kGdiBound = 8;
constexpr double kAnswerBoundMs = 100.0;
constexpr UINT kSendTimeoutMs = 10000;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Counts {
    int languages = 10000;
    int pages = 10000;
    int drags = 5000;
    int volumes = 5000;
};

int g_failures = 0;
bool g_warmedUp = false; // phases after the warm-up print what their actions did
void Fail(const char* what, int step)
{
    if (++g_failures <= 10)
        std::printf("  FAILED: %s (step %d)\n", what, step);
}

// ---------------------------------------------------------------------------
// The panel's process and windows.

struct Panel {
    fw::UniqueKernelHandle process;
    DWORD pid = 0;
    HWND pages[5] = {}; // by page number; [0] is the main dialog
};

struct FindContext {
    DWORD pid;
    std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialogs(HWND wnd, LPARAM lp)
{
    auto* context = reinterpret_cast<FindContext*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    wchar_t cls[32] = {};
    ::GetClassNameW(wnd, cls, 32);
    if (pid == context->pid && std::wcscmp(cls, L"#32770") == 0)
        context->dialogs.push_back(wnd);
    return TRUE;
}

bool FindWindows(Panel& panel)
{
    FindContext context{panel.pid, {}};
    ::EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&context));
    HWND main = nullptr;
    for (HWND wnd : context.dialogs) {
        if (!::GetWindow(wnd, GW_OWNER))
            main = wnd;
    }
    if (!main)
        return false;
    panel.pages[0] = main;
    for (HWND wnd : context.dialogs) {
        if (::GetWindow(wnd, GW_OWNER) != main)
            continue;
        for (int page = 1; page <= 4; ++page) {
            if (::GetDlgItem(wnd, static_cast<int>(CPageColumn::ButtonId(model::kPages[page], CPageColumn::kMain))))
                panel.pages[page] = wnd;
        }
    }
    return std::all_of(std::begin(panel.pages), std::end(panel.pages), [](HWND w) { return w != nullptr; });
}

bool StartPanel(Panel& panel)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.rfind(L'\\'));
    std::wstring command = L"\"" + folder + L"\\Zephrin.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &started))
        return false;
    fw::UniqueKernelHandle thread(started.hThread);
    panel.process.reset(started.hProcess);
    panel.pid = started.dwProcessId;
    const auto start = Clock::now();
    while (MsSince(start) < 20000) {
        if (FindWindows(panel))
            return true;
        if (::WaitForSingleObject(panel.process.get(), 50) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

LRESULT Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL, kSendTimeoutMs, &result))
        Fail("a message was not answered within 10 s", -1);
    return static_cast<LRESULT>(result);
}

int VisiblePage(const Panel& panel)
{
    for (int page = 0; page <= 4; ++page) {
        if (::IsWindowVisible(panel.pages[page]))
            return page;
    }
    return -1;
}

// Clicks the column button of the visible page that leads to `target`, as
// the button itself reports a click to its page.
bool SwitchPage(const Panel& panel, int target)
{
    const int current = VisiblePage(panel);
    if (current < 0)
        return false;
    const UINT id = PageColumnId(model::kPages[current], model::kPages[target]);
    HWND button = ::GetDlgItem(panel.pages[current], static_cast<int>(id));
    Send(panel.pages[current], WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return VisiblePage(panel) == target;
}

// The stored language number; -1 when it cannot be read.
int StoredLanguage()
{
    wchar_t text[16] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Marvolin\\VANTIR\\CPL", L"language", RRF_RT_REG_SZ, nullptr,
                       text, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

// ---------------------------------------------------------------------------
// The actions.

void SwitchLanguages(const Panel& panel, int count)
{
    static constexpr UINT kCommands[3] = {ID_LANG_TRADITIONAL, ID_LANG_SIMPLIFIED, ID_LANG_ENGLISH};
    for (int i = 0; i < count; ++i) {
        const int language = i % 3;
        Send(panel.pages[0], WM_COMMAND, MAKEWPARAM(kCommands[language], 0), 0);
        if (i % 97 == 0 && StoredLanguage() != language)
            Fail("the language was not stored", i);
    }
}

void SwitchPages(const Panel& panel, int count)
{
    for (int i = 0; i < count; ++i) {
        const int target = (VisiblePage(panel) + 1) % 5;
        if (!SwitchPage(panel, target))
            Fail("the page did not change", i);
    }
}

int KnobPos(HWND knob)
{
    return static_cast<int>(Send(knob, TBM_GETPOS, 0, 0));
}

// A drag around a knob: a press, `steps` pointer moves sweeping the circle
// back and forth, a release. Returns how many moves turned the knob.
int DragKnob(HWND knob, int steps)
{
    RECT rc{};
    ::GetClientRect(knob, &rc);
    const double cx = rc.right / 2.0, cy = rc.bottom / 2.0, r = std::min(cx, cy) * 0.8;
    auto at = [&](double degrees) {
        const double a = degrees * 3.14159265358979 / 180.0;
        return MAKELPARAM(static_cast<int>(cx + r * std::cos(a)), static_cast<int>(cy - r * std::sin(a)));
    };
    double angle = 225.0, step = -4.0;
    Send(knob, WM_LBUTTONDOWN, MK_LBUTTON, at(angle));
    int turned = 0;
    for (int i = 0; i < steps; ++i) {
        const int before = KnobPos(knob);
        angle += step;
        if (angle < -45.0 || angle > 225.0) {
            step = -step;
            angle += 2 * step;
        }
        Send(knob, WM_MOUSEMOVE, MK_LBUTTON, at(angle));
        if (KnobPos(knob) != before)
            ++turned;
    }
    Send(knob, WM_LBUTTONUP, 0, at(angle));
    return turned;
}

std::wstring StoredBand(int band)
{
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    const std::wstring name = L"eq_" + std::to_wstring(band);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Marvolin\\VANTIR\\Hifi", name.c_str(), RRF_RT_REG_SZ, nullptr,
                       text, &size) != ERROR_SUCCESS)
        return L"";
    return text;
}

// A drag along a band slider: a press, `steps` moves up and down, a release.
// Returns how many moves changed the band's stored gain.
int DragBand(HWND band, int steps)
{
    const int index = ::GetDlgCtrlID(band) - IDC_HIFI_BAND_0;
    RECT rc{};
    ::GetClientRect(band, &rc);
    int y = rc.bottom / 2, dy = 3;
    Send(band, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.right / 2, y));
    int moved = 0;
    for (int i = 0; i < steps; ++i) {
        y += dy;
        if (y < 0 || y > rc.bottom) {
            dy = -dy;
            y += 2 * dy;
        }
        const std::wstring before = StoredBand(index);
        Send(band, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rc.right / 2, y));
        if (StoredBand(index) != before)
            ++moved;
    }
    Send(band, WM_LBUTTONUP, 0, MAKELPARAM(rc.right / 2, y));
    return moved;
}

void DragControls(const Panel& panel, int count)
{
    // A quarter of the steps on the Main page's master knob, a quarter on the
    // Hifi page's bass and treble knobs, half on its equalizer bands; drags of
    // 50 steps each.
    constexpr int kStepsPerDrag = 50;
    int done = 0, turned = 0, bandSteps = 0;
    for (int round = 0; done < count; ++round) {
        HWND target = nullptr;
        int page = 0;
        switch (round % 4) {
        case 0:
            target = ::GetDlgItem(panel.pages[0], IDC_MASTER_KNOB);
            break;
        case 1:
            page = 1;
            target = ::GetDlgItem(panel.pages[1], (round / 4) % 2 ? IDC_HIFI_TREBLE_KNOB : IDC_HIFI_BASS_KNOB);
            break;
        default:
            page = 1;
            target = ::GetDlgItem(panel.pages[1], IDC_HIFI_BAND_0 + round % 10);
            break;
        }
        if (VisiblePage(panel) != page)
            SwitchPage(panel, page);
        const int steps = std::min(kStepsPerDrag, count - done);
        if (round % 4 < 2)
            turned += DragKnob(target, steps);
        else
            bandSteps += DragBand(target, steps);
        done += steps;
    }
    if (g_warmedUp)
        std::printf("%22s knob steps that turned a knob: %d, band steps that changed a stored gain: %d\n", "", turned,
                    bandSteps);
    if (count > 0 && (turned == 0 || bandSteps == 0))
        Fail("no drag step moved a knob or a band", 0);
}

// Volume changes by another program through Core Audio; each must reach the
// Main page's master knob.
void ChangeVolumes(const Panel& panel, int count)
{
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                  reinterpret_cast<void**>(&enumerator)))) {
        Fail("no endpoint enumerator", 0);
        return;
    }
    IMMDevice* device = nullptr;
    IAudioEndpointVolume* volume = nullptr;
    if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device)))
        device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&volume));
    if (!volume) {
        Fail("no endpoint volume", 0);
    } else {
        HWND knob = ::GetDlgItem(panel.pages[0], IDC_MASTER_KNOB);
        for (int i = 0; i < count; ++i) {
            const int before = KnobPos(knob);
            float current = 0;
            volume->GetMasterVolumeLevelScalar(&current);
            volume->SetMasterVolumeLevelScalar(current > 0.5f ? 0.25f : 0.75f, nullptr);
            const auto start = Clock::now();
            while (KnobPos(knob) == before && MsSince(start) < 2000)
                ::Sleep(1);
            if (KnobPos(knob) == before)
                Fail("the knob did not follow a volume change", i);
        }
        volume->Release();
    }
    if (device)
        device->Release();
    enumerator->Release();
}

// ---------------------------------------------------------------------------
// Figures.

void PrintFigures(const char* when, const ProcessFigures& f, double seconds)
{
    std::printf("%-22s working set %8.2f MiB  handles %5ld  GDI objects %5d  (%.1f s)\n", when,
                static_cast<double>(f.workingSet) / (1024.0 * 1024.0), f.handles, f.gdiObjects, seconds);
    std::fflush(stdout);
}

double SlowestAnswerMs(const Panel& panel)
{
    double slowest = 0;
    for (int round = 0; round < 10; ++round) {
        for (HWND wnd : panel.pages) {
            const auto start = Clock::now();
            DWORD_PTR result = 0;
            if (!::SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
                return 1000;
            slowest = std::max(slowest, MsSince(start));
        }
    }
    return slowest;
}

int ParseCount(const wchar_t* text)
{
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Counts counts;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        const int value = ParseCount(argv[i + 1]);
        if (option == L"--languages")
            counts.languages = value;
        else if (option == L"--pages")
            counts.pages = value;
        else if (option == L"--drags")
            counts.drags = value;
        else if (option == L"--volumes")
            counts.volumes = value;
    }
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);

    const GdiTableCheck check = CheckGdiTableOnSelf();
    std::printf("GDI table check on this process: %d objects probed, %d listed, %d probed but not listed\n",
                check.probed, check.listed, check.probedOnly);
    if (!check.readable || check.probedOnly != 0 || check.probed == 0)
        Fail("the GDI handle table does not list what the probe finds", 0);

    Panel panel;
    if (!StartPanel(panel)) {
        std::printf("FAILED: the panel did not start\n");
        return 1;
    }
    Send(panel.pages[0], WM_SHOW_PAGE, 0, 0);
    const auto start = Clock::now();
    auto seconds = [&] { return MsSince(start) / 1000.0; };

    // Warm-up, every kind of action twice over: first loads of bitmaps, the
    // first paint of each page in each language, the listeners' registration
    // and the allocator's first growth are not leaks.
    for (int round = 0; round < 2; ++round) {
        SwitchLanguages(panel, 30);
        SwitchPages(panel, 50);
        DragControls(panel, 200);
        ChangeVolumes(panel, 50);
    }
    SwitchPage(panel, 0);
    const ProcessFigures baseline = ReadProcessFigures(panel.process.get());
    g_warmedUp = true;
    PrintFigures("after warm-up", baseline, seconds());

    // Each phase in quarters, with the figures after each: a leak shows as
    // a steady climb, a cache as one step.
    auto phase = [&](const char* name, int count, void (*action)(const Panel&, int)) {
        const auto phaseStart = Clock::now();
        int done = 0;
        for (int quarter = 1; quarter <= 4; ++quarter) {
            const int part = count * quarter / 4 - done;
            action(panel, part);
            done += part;
            char label[64];
            std::snprintf(label, sizeof label, "%d %s", done, name);
            PrintFigures(label, ReadProcessFigures(panel.process.get()), seconds());
        }
        const double ms = MsSince(phaseStart);
        std::printf("%22s %.2f ms each\n", "", count ? ms / count : 0.0);
    };
    phase("language switches", counts.languages, SwitchLanguages);
    phase("page switches", counts.pages, SwitchPages);
    phase("drag steps", counts.drags, DragControls);
    phase("volume changes", counts.volumes, ChangeVolumes);

    SwitchPage(panel, 0);
    const ProcessFigures end = ReadProcessFigures(panel.process.get());
    const double answerMs = SlowestAnswerMs(panel);

    const long long wsGrowth = static_cast<long long>(end.workingSet) - static_cast<long long>(baseline.workingSet);
    const long handleGrowth = end.handles - baseline.handles;
    const long gdiGrowth = end.gdiObjects - baseline.gdiObjects;
    std::printf("growth: working set %+.2f MiB (bound %.0f MiB), handles %+ld (bound %ld), GDI objects %+ld "
                "(bound %ld)\n",
                static_cast<double>(wsGrowth) / (1024.0 * 1024.0),
                static_cast<double>(kWorkingSetBound) / (1024.0 * 1024.0), handleGrowth, kHandleBound, gdiGrowth,
                kGdiBound);
    std::printf("slowest answer of a window afterwards: %.2f ms (bound %.0f ms)\n", answerMs, kAnswerBoundMs);
    if (wsGrowth > static_cast<long long>(kWorkingSetBound))
        Fail("working set growth above its bound", 0);
    if (baseline.handles < 0 || handleGrowth > kHandleBound)
        Fail("handle growth above its bound", 0);
    if (baseline.gdiObjects < 0 || gdiGrowth > kGdiBound)
        Fail("GDI object growth above its bound (or not readable)", 0);
    if (answerMs > kAnswerBoundMs)
        Fail("an answer slower than its bound", 0);

    Send(panel.pages[0], WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
    if (::WaitForSingleObject(panel.process.get(), 15000) != WAIT_OBJECT_0) {
        Fail("the panel did not end on Exit", 0);
        ::TerminateProcess(panel.process.get(), 1);
    }
    ::CoUninitialize();
    std::printf("%s (%d failures)\n", g_failures ? "SOAK FAILED" : "soak passed", g_failures);
    return g_failures ? 1 : 0;
}
