// control_gallery.exe: every skinned control in its states on one window, for
// people and for the end-to-end driver. Argument: a state file, rewritten
// whenever a control reports a change (lines "pos <id> <position>" and
// "rect <id> <left> <top> <right> <bottom>" in screen pixels, "released <id>
// <count>" for each knob's drags ended by a release, "clicks <count>" for the
// button releases on the gallery's own background). The first state is
// written on the first timer tick, after everything has painted. The program
// ends when a file of the same name with ".quit" appended appears.
#include "BitmapSlider.h"
#include "Label.h"
#include "MyComboBox.h"
#include "MyStaticBmp.h"
#include "PanelMessages.h"
#include "RoundSliderCtrl.h"
#include "resource.h"

#include <commctrl.h>
#include <cstdio>
#include <map>
#include <memory>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

const COLORREF kPanel = RGB(34, 40, 52);

class Gallery : public CWnd {
public:
    explicit Gallery(std::wstring stateFile) : m_stateFile(std::move(stateFile)) {}
    void Build();
    void WriteState();

    CBitmapSlider crossover, balanceMaster, balanceDigital, balanceWide, bands[10];
    CRoundSliderCtrl knobLarge, knobSmall, knobBass, knobTreble;
    CLabel labels[3];
    CMyComboBox presetList, nameBox;
    CMyStaticBmp leverUp, leverDown, lampOn, lampOff, room, environment;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HWND Child(const wchar_t* cls, int id, DWORD style, int x, int y, int w, int h, const wchar_t* text = L"")
    {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                 nullptr);
    }
    void Slider(CBitmapSlider& s, int id, int x, int y, int w, int h, UINT channel, UINT active, UINT thumb,
                bool vertical, bool fit, int minimum, int maximum, int pos)
    {
        Child(L"Static", id, SS_NOTIFY | SS_BITMAP, x, y, w, h);
        s.SubclassDlgItem(id, m_hWnd);
        s.SetFitToBitmap(fit);
        s.SetVertical(vertical);
        s.SetChannelBitmaps(channel, active);
        s.SetThumbBitmaps(thumb, active ? thumb : 0);
        s.SetRange(minimum, maximum);
        s.SetPos(pos);
        m_tracked.push_back(id);
    }
    void Knob(CRoundSliderCtrl& k, int id, int x, int y, int size, int maximum, int pos, int limit, int radius,
              UINT bitmap)
    {
        Child(TRACKBAR_CLASSW, id, TBS_HORZ | TBS_NOTICKS, x, y, size, size);
        k.SubclassDlgItem(id, m_hWnd);
        k.SetRange(0, maximum);
        k.SetPos(pos);
        k.SetDragLimit(limit);
        k.SetIndicatorRadius(radius);
        k.SetZeroAngle(220);
        k.SetIndicatorColor(RGB(0, 0, 255));
        k.SetIndicatorPressedColor(RGB(255, 0, 0));
        k.SetBackgroundBitmap(bitmap);
        k.SetCursorId(IDC_KNOB_CURSOR);
        m_tracked.push_back(id);
    }

    std::wstring m_stateFile;
    std::vector<int> m_tracked;
    std::map<int, int> m_released;
    int m_backgroundClicks = 0;
    bool m_firstTickSeen = false;
};

void Gallery::Build()
{
    Slider(crossover, 1086, 20, 20, 202, 13, IDB_CROSSOVER_CHANNEL, 0, IDB_BALANCE_THUMB, false, false, 0, 250, 150);
    Slider(balanceMaster, 1047, 20, 50, 124, 30, IDB_BALANCE_CHANNEL_MASTER, IDB_BALANCE_CHANNEL_MASTER,
           IDB_BALANCE_THUMB, false, true, 0, 100, 50);
    Slider(balanceDigital, 1049, 20, 75, 124, 30, IDB_BALANCE_CHANNEL_DIGITAL, IDB_BALANCE_CHANNEL_DIGITAL,
           IDB_BALANCE_THUMB, false, true, 0, 100, 20);
    Slider(balanceWide, 2004, 20, 100, 300, 30, IDB_BALANCE_CHANNEL_MASTER, IDB_BALANCE_CHANNEL_MASTER,
           IDB_BALANCE_THUMB, false, true, 0, 100, 90);
    const int gains[10] = {-1310680, -786432, -262144, 0, 262144, 655360, 1310720, 393216, -131072, 0};
    for (int i = 0; i < 10; ++i)
        Slider(bands[i], 1033 + i, 340 + i * 24, 20, 16, 137, IDB_BAND_CHANNEL_FIRST + i, IDB_BAND_CHANNEL_FIRST + i,
               IDB_BAND_THUMB, true, false, -1310680, 1310720, gains[i]);

    Knob(knobLarge, 1022, 620, 20, 50, 65, 20, 50, 10, IDB_KNOB_FACE_LARGE);
    Knob(knobSmall, 1023, 690, 35, 19, 65, 20, 50, 7, IDB_KNOB_FACE_SMALL);
    Knob(knobBass, 1046, 620, 100, 19, 52, 0, 40, 7, IDB_KNOB_FACE_SMALL);
    Knob(knobTreble, 1077, 660, 100, 19, 52, 40, 40, 7, IDB_KNOB_FACE_SMALL);

    const wchar_t* lines[3] = {L"Windows 版本 6.1 (Build 7601)", L"驱动程序版本 5.12.01.0008",
                               L"DirectX 9.0c — panel 1.0.0"};
    for (int i = 0; i < 3; ++i) {
        Child(L"Static", 1100 + i, SS_LEFT, 20, 150 + i * 20, 300, 18, lines[i]);
        labels[i].SetTextColor(RGB(235, 235, 235));
        labels[i].SubclassDlgItem(1100 + i, m_hWnd);
    }

    Child(L"ComboBox", 1081, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 20, 230, 105, 150);
    presetList.SubclassDlgItem(1081, m_hWnd);
    presetList.SetFaceBitmap(IDB_COMBO_FACE_LIST);
    for (const wchar_t* s : {L"Live concert", L"Late night", L"Vocal"})
        presetList.AddString(s);
    presetList.SetCurSel(0);
    Child(L"Edit", 1082, ES_AUTOHSCROLL | WS_TABSTOP, 140, 232, 100, 15, L"My preset");
    nameBox.SubclassDlgItem(1082, m_hWnd);
    nameBox.SetFaceBitmap(IDB_COMBO_FACE_EDIT);

    Child(L"Static", 1088, SS_BITMAP, 340, 180, 25, 40);
    leverUp.SubclassDlgItem(1088, m_hWnd);
    leverUp.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
    leverUp.SetState(true);
    Child(L"Static", 1089, SS_BITMAP, 375, 180, 25, 40);
    leverDown.SubclassDlgItem(1089, m_hWnd);
    leverDown.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
    leverDown.SetState(false);
    Child(L"Static", 1026, SS_BITMAP, 410, 180, 10, 10);
    lampOn.SubclassDlgItem(1026, m_hWnd);
    lampOn.SetStateBitmaps(172, 171);
    lampOn.SetState(true);
    Child(L"Static", 1027, SS_BITMAP, 410, 215, 10, 10);
    lampOff.SubclassDlgItem(1027, m_hWnd);
    lampOff.SetStateBitmaps(174, 173);
    lampOff.SetState(false);

    Child(L"Static", 1031, SS_BITMAP, 470, 180, 79, 79);
    room.SubclassDlgItem(1031, m_hWnd);
    const UINT rooms[4] = {258, 259, 260, 258};
    room.SetPictureList(rooms, 1);
    Child(L"Static", 1032, SS_BITMAP, 560, 180, 146, 65);
    environment.SubclassDlgItem(1032, m_hWnd);
    UINT envs[23];
    for (int i = 0; i < 23; ++i)
        envs[i] = 175 + i;
    environment.SetPictureList(envs, 5);
}

void Gallery::WriteState()
{
    if (m_stateFile.empty() || !m_firstTickSeen)
        return;
    std::wstring tmp = m_stateFile + L".tmp";
    FILE* f = _wfopen(tmp.c_str(), L"w");
    if (!f)
        return;
    for (int id : m_tracked) {
        HWND wnd = GetDlgItem(id);
        CWnd* obj = CWnd::FromHandlePermanent(wnd);
        int pos = 0;
        if (auto* s = dynamic_cast<CBitmapSlider*>(obj))
            pos = s->GetPos();
        else if (auto* k = dynamic_cast<CRoundSliderCtrl*>(obj))
            pos = k->GetPos();
        RECT rc{};
        ::GetWindowRect(wnd, &rc);
        std::fprintf(f, "pos %d %d\nrect %d %ld %ld %ld %ld\n", id, pos, id, rc.left, rc.top, rc.right, rc.bottom);
    }
    for (const auto& [id, count] : m_released)
        std::fprintf(f, "released %d %d\n", id, count);
    std::fprintf(f, "clicks %d\n", m_backgroundClicks);
    std::fprintf(f, "focus %d\n", ::GetDlgCtrlID(::GetFocus()));
    std::fclose(f);
    ::MoveFileExW(tmp.c_str(), m_stateFile.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT Gallery::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc = CWnd::GetClientRect();
        HBRUSH brush = ::CreateSolidBrush(kPanel);
        ::FillRect(reinterpret_cast<HDC>(wp), &rc, brush);
        ::DeleteObject(brush);
        return TRUE;
    }
    case WM_HSCROLL:
        if (LOWORD(wp) == TB_THUMBPOSITION && lp)
            ++m_released[::GetDlgCtrlID(reinterpret_cast<HWND>(lp))];
        WriteState();
        return 0;
    case WM_SLIDER_TRACK:
    case WM_SLIDER_SETTLED:
        WriteState();
        return 0;
    case WM_LBUTTONUP:
        // Only a click that no control's window took lands here.
        ++m_backgroundClicks;
        WriteState();
        return 0;
    case WM_TIMER: {
        // A timer tick comes only when nothing is left to paint.
        if (!m_firstTickSeen) {
            m_firstTickSeen = true;
            WriteState();
        }
        std::wstring quit = m_stateFile + L".quit";
        if (::GetFileAttributesW(quit.c_str()) != INVALID_FILE_ATTRIBUTES)
            ::DestroyWindow(m_hWnd);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::wstring stateFile = (argv && argc > 1) ? argv[1] : L"";
    ::LocalFree(argv);

    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"ZephrinControlGallery";
    ::RegisterClassW(&wc);
    HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, L"Zephrin control gallery", WS_POPUP, 200,
                                 150, 730, 280, nullptr, nullptr, instance, nullptr);
    auto gallery = std::make_unique<Gallery>(stateFile);
    gallery->SubclassWindow(wnd);
    gallery->Build();
    ::ShowWindow(wnd, SW_SHOW);
    ::UpdateWindow(wnd);
    ::SetTimer(wnd, 1, 100, nullptr);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(wnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}
