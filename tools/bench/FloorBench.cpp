#include "FloorBench.h"

#include "BenchProgram.h"
#include "PanelMessages.h"
#include "PanelModel.h"

namespace {

// A page's window size and its shape, in window coordinates.
FloorPage ReadPage(HWND wnd)
{
    FloorPage page;
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    page.width = rc.right - rc.left;
    page.height = rc.bottom - rc.top;
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(wnd, region) == ERROR) {
        ::DeleteObject(region);
        Fail("a page of the panel has no window shape");
    }
    const DWORD size = ::GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (!size || ::GetRegionData(region, size, rgn) != size)
        Fail("cannot read a page's window shape");
    const auto* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    page.rects.assign(rects, rects + rgn->rdh.nCount);
    ::DeleteObject(region);
    return page;
}

std::vector<FloorPage> PanelGeometry(const std::wstring& panelExe)
{
    Program p(panelExe, true);
    p.Start();
    Settle(p, 1000);
    // Every page shown once: each has built its skin.
    Send(p.MainDialog(), WM_SHOW_PAGE, 0, 0);
    int current = 0;
    for (int page : {1, 2, 3, 4, 0})
        current = ShowPage(p, current, page);
    std::vector<FloorPage> pages;
    for (int page = 0; page < model::kPageCount; ++page) {
        HWND wnd = p.Page(page);
        if (!wnd)
            Fail("a page window is missing");
        pages.push_back(ReadPage(wnd));
    }
    return pages;
}

std::wstring BesideThisProgram(const wchar_t* name)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

// The floor program in one of its modes, from its start until it has ended.
class Floor {
public:
    Floor(const wchar_t* mode, const std::wstring& geometry)
    {
        const std::wstring exe = BesideThisProgram(L"BenchFloor.exe");
        std::wstring command = L"\"" + exe + L"\" " + mode + L" \"" + geometry + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi))
            Fail("cannot start the floor program");
        const double end = Now() + 30000;
        while (!(m_first = ShownWindow())) {
            DWORD code = STILL_ACTIVE;
            if (Now() > end || (::GetExitCodeProcess(m_pi.hProcess, &code) && code != STILL_ACTIVE))
                Fail("the floor program did not show its window");
            ::Sleep(1);
        }
        // As the panel before its actions: answering, a second more, answering.
        Send(m_first, WM_NULL, 0, 0);
        ::Sleep(1000);
        Send(m_first, WM_NULL, 0, 0);
    }
    ~Floor()
    {
        ::PostMessageW(m_first, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_pi.hProcess, 20000) != WAIT_OBJECT_0)
            ::TerminateProcess(m_pi.hProcess, 9);
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    // The window on screen when the program started (the same window all
    // along; it may be hidden since).
    HWND First() const { return m_first; }

    // Sends an untimed message and returns its answer.
    LRESULT Ask(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) const
    {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL, 30000, &result))
            Fail("the floor program did not answer");
        return static_cast<LRESULT>(result);
    }

private:
    HWND ShownWindow() const
    {
        for (HWND wnd : WindowsOf(m_pi.dwProcessId, kFloorWindowClass)) {
            if (::IsWindowVisible(wnd))
                return wnd;
        }
        return nullptr;
    }

    PROCESS_INFORMATION m_pi{};
    HWND m_first = nullptr;
};

} // namespace

FloorTimes MeasureFloor(const std::wstring& panelExe, int reps)
{
    FloorTimes times;
    times.pages = PanelGeometry(panelExe);
    // The screen as it is while the panel runs: an icon in the notification
    // area, whose window is then on screen and takes the activation when the
    // active window hides (with no icon, Wine hides that window).
    Program tray(BesideThisProgram(L"BaselineTray.exe"), false);
    tray.Start();
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring geometry = std::wstring(folder) + L"zbench-floor-pages.txt";
    if (!WriteFloorGeometry(geometry, times.pages))
        Fail("cannot write the pages' geometry");

    {
        // Every page to every other, round after round, as the panel's.
        Floor floor(L"switch", geometry);
        while (static_cast<int>(times.pageSwitch.size()) < reps) {
            for (int from = 0; from < model::kPageCount; ++from) {
                for (int to = 0; to < model::kPageCount; ++to) {
                    if (from == to)
                        continue;
                    HWND shown = reinterpret_cast<HWND>(floor.Ask(floor.First(), kFloorPrepareSwitch, from, to));
                    if (!shown)
                        Fail("the floor program did not prepare a switch");
                    times.pageSwitch.push_back(Send(shown, kFloorSwitch, 0, 0));
                }
            }
        }
    }
    {
        Floor floor(L"language", geometry);
        for (int i = 0; i < reps; ++i)
            times.languageSwitch.push_back(Send(floor.First(), kFloorLanguage, 0, (1 + i) % model::kLanguageCount));
    }
    ::DeleteFileW(geometry.c_str());
    return times;
}
