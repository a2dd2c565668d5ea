// The skinned controls at other display scales: their pictures at the scale,
// their figures scaled, and values that do not change with it (a drag along
// the same path, scaled, gives the same positions).
#include "BitmapButton.h"
#include "BitmapSlider.h"
#include "ControlHost.h"
#include "DisplayScale.h"
#include "Label.h"
#include "MyComboBox.h"
#include "MyStaticBmp.h"
#include "PanelMessages.h"
#include "RoundSliderCtrl.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm))
        return SIZE{};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

SIZE WindowSize(HWND wnd)
{
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// A slider as the pages set them up, at a scale: the Hp page's crossover
// (horizontal) or an equalizer band (vertical).
struct ScaledSlider {
    ScaledSlider(UINT dpi, bool band)
    {
        const int w = ScaleFigure(band ? 16 : 202, dpi);
        const int h = ScaleFigure(band ? 137 : 13, dpi);
        wnd = host.AddChild(L"Static", 2001, SS_NOTIFY | SS_BITMAP, 10, 10, w, h);
        slider.SubclassDlgItem(2001, host);
        slider.SetDpi(dpi);
        slider.SetVertical(band);
        slider.SetChannelBitmaps(band ? IDB_BAND_CHANNEL_FIRST : IDB_CROSSOVER_CHANNEL, 0);
        slider.SetThumbBitmaps(band ? IDB_BAND_THUMB : IDB_BALANCE_THUMB, 0);
        slider.SetMargins(0, 0, 0, 0);
        if (band)
            slider.SetRange(-1310680, 1310720);
        else
            slider.SetRange(0, 250);
        // Positions whose thumb falls on an odd pixel at 2x when worked out
        // at 2x: 77 Hz and +4.58 dB.
        slider.SetPos(band ? 300000 : 77);
        host.Clear();
    }
    // Presses at `from`, moves through `path` and releases (points along the
    // axis at 96 DPI, scaled); the positions after each step.
    std::vector<int32_t> Drag(UINT dpi, int from, const std::vector<int>& path)
    {
        const bool band = slider.IsVertical();
        auto point = [&](int along) {
            const int a = ScaleFigure(along, dpi);
            const int across = ScaleFigure(band ? 8 : 6, dpi);
            return band ? POINT{across, a} : POINT{a, across};
        };
        std::vector<int32_t> seen;
        POINT p = point(from);
        SendPress(wnd, p.x, p.y);
        seen.push_back(slider.GetPos());
        for (int along : path) {
            p = point(along);
            SendMove(wnd, p.x, p.y);
            seen.push_back(slider.GetPos());
        }
        SendRelease(wnd, p.x, p.y);
        return seen;
    }
    ControlHost host{100, 100, 500, 320};
    CBitmapSlider slider;
    HWND wnd = nullptr;
};

TEST(ScaledSlider, TheSameDragGivesTheSamePositionsAtTwiceTheScale)
{
    // Grabbing the thumb (the crossover's at 77 Hz is at 14 + T(77 / 250 x
    // 174) = 67, the band's at 6 + T(1610680 / 2621400 x 125) = 82) and
    // moving it both ways, past either end.
    const std::vector<int> across{70, 80, 97, 60, 40, 3, 150, 199, 240};
    const std::vector<int> down{84, 90, 70, 31, 4, 100, 135, 150};
    for (bool band : {false, true}) {
        SCOPED_TRACE(band ? "band" : "crossover");
        ScaledSlider one(kBaseDpi, band);
        ScaledSlider two(192, band);
        EXPECT_EQ(two.slider.PositionToPixel(two.slider.GetPos()), 2 * one.slider.PositionToPixel(one.slider.GetPos()));
        const int from = band ? 82 : 67;
        EXPECT_EQ(two.Drag(192, from, band ? down : across), one.Drag(kBaseDpi, from, band ? down : across));
        EXPECT_EQ(two.slider.GetPos(), one.slider.GetPos());
    }
}

TEST(ScaledSlider, AFittedSliderTakesItsLengthFromItsWindowWhicheverComesFirst)
{
    // The Main page's balance: 124 wide at 96 DPI, its height fitted to the
    // channel. At a new scale the page gives the width and the scale, in
    // either order.
    for (bool widthFirst : {true, false}) {
        SCOPED_TRACE(widthFirst ? "width first" : "scale first");
        ControlHost host{100, 100, 400, 200};
        HWND wnd = host.AddChild(L"Static", 1047, SS_NOTIFY | SS_BITMAP, 10, 10, 124, 30);
        CBitmapSlider slider;
        ASSERT_TRUE(slider.SubclassDlgItem(1047, host));
        slider.SetFitToBitmap(true);
        slider.SetChannelBitmaps(IDB_BALANCE_CHANNEL_MASTER, IDB_BALANCE_CHANNEL_MASTER);
        slider.SetThumbBitmaps(IDB_BALANCE_THUMB, IDB_BALANCE_THUMB);
        slider.SetRange(0, 100);
        slider.SetPos(50);
        const int at96 = slider.PositionToPixel(50);
        auto width = [&] { ::SetWindowPos(wnd, nullptr, 0, 0, 248, WindowSize(wnd).cy, SWP_NOMOVE | SWP_NOZORDER); };
        if (widthFirst)
            width();
        slider.SetDpi(192);
        if (!widthFirst)
            width();
        EXPECT_EQ(slider.GetChannelWidth(), 248);
        EXPECT_EQ(slider.GetChannelHeight(), 28);
        EXPECT_EQ(WindowSize(wnd).cy, 28);
        EXPECT_EQ(slider.PositionToPixel(50), 2 * at96);
    }
}

TEST(ScaledSlider, ItsPicturesAreTheScaleAndAChangeOfScaleKeepsThePosition)
{
    ScaledSlider s(kBaseDpi, false);
    s.slider.SetPos(77);
    s.slider.SetDpi(144);
    EXPECT_EQ(s.slider.GetChannelWidth(), ScaleFigure(202, 144));
    EXPECT_EQ(s.slider.GetThumbWidth(), ScaleFigure(28, 144));
    EXPECT_EQ(s.slider.GetPos(), 77);
    // Where the thumb would be at 96 DPI, scaled: 14 + T(77 / 250 x 174) = 67.
    EXPECT_EQ(s.slider.PositionToPixel(77), ScaleFigure(67, 144));
    s.slider.SetDpi(kBaseDpi);
    EXPECT_EQ(s.slider.GetChannelWidth(), 202);
    EXPECT_EQ(s.slider.PositionToPixel(77), 67);
}

// A point at `angle` degrees clockwise from 12 o'clock round the knob's
// centre, at 96 DPI, scaled.
POINT Around(const CRoundSliderCtrl& knob, UINT dpi, double angle, double r)
{
    const double t = angle * 3.14159265358979 / 180;
    const POINT c = knob.GetCentre();
    return {ScaleFigure(static_cast<int>(std::lround(c.x + std::sin(t) * r)), dpi),
            ScaleFigure(static_cast<int>(std::lround(c.y - std::cos(t) * r)), dpi)};
}

struct ScaledKnob {
    // The Hifi page's tone knob (30 x 29, the small face) or the Main
    // page's master knob (50 x 50).
    ScaledKnob(UINT dpi, bool tone)
    {
        const int w = ScaleFigure(tone ? 30 : 50, dpi);
        const int h = ScaleFigure(tone ? 29 : 50, dpi);
        wnd = host.AddChild(TRACKBAR_CLASSW, 1022, TBS_HORZ | TBS_NOTICKS, 20, 20, w, h);
        knob.SubclassDlgItem(1022, host);
        knob.SetDpi(dpi);
        knob.SetRange(0, tone ? 52 : 65);
        knob.SetPos(tone ? 12 : 20);
        knob.SetDragLimit(tone ? 40 : 50);
        knob.SetIndicatorRadius(tone ? 7 : 10);
        knob.SetZeroAngle(220);
        knob.SetBackgroundBitmap(tone ? IDB_KNOB_FACE_SMALL : IDB_KNOB_FACE_LARGE);
        host.Clear();
    }
    std::vector<int> Drag(UINT dpi, const std::vector<double>& angles)
    {
        std::vector<int> seen;
        POINT p = Around(knob, dpi, angles.front(), 12);
        SendPress(wnd, p.x, p.y);
        seen.push_back(knob.GetPos());
        for (double a : angles) {
            p = Around(knob, dpi, a, 12);
            SendMove(wnd, p.x, p.y);
            seen.push_back(knob.GetPos());
        }
        SendRelease(wnd, p.x, p.y);
        return seen;
    }
    ControlHost host{100, 100, 300, 300};
    CRoundSliderCtrl knob;
    HWND wnd = nullptr;
};

TEST(ScaledKnob, TheSameDragGivesTheSamePositionsAtEveryScale)
{
    // Round and back, through the dead zone beyond the drag limit.
    std::vector<double> angles;
    for (double a = 230; a < 580; a += 9)
        angles.push_back(std::fmod(a, 360));
    for (double a = 570; a > 200; a -= 13)
        angles.push_back(std::fmod(a, 360));
    for (bool tone : {false, true}) {
        SCOPED_TRACE(tone ? "tone knob" : "master knob");
        ScaledKnob one(kBaseDpi, tone);
        const std::vector<int> want = one.Drag(kBaseDpi, angles);
        for (UINT dpi : {120u, 144u, 192u}) {
            SCOPED_TRACE(dpi);
            ScaledKnob k(dpi, tone);
            EXPECT_EQ(k.knob.GetCentre().x, one.knob.GetCentre().x);
            EXPECT_EQ(k.knob.GetRadius(), one.knob.GetRadius());
            EXPECT_EQ(k.Drag(dpi, angles), want);
            EXPECT_EQ(k.knob.GetDragLimit(), one.knob.GetDragLimit());
        }
    }
}

TEST(ScaledKnob, AKnobMovedToAnotherScaleAndResizedKeepsItsDial)
{
    // As the pages do it: a knob made and sized at 96 DPI (its dial made
    // before the indicator radius is set), then scale and size changed
    // together, and back.
    ScaledKnob k(kBaseDpi, false);
    const POINT centre = k.knob.GetCentre();
    const int radius = k.knob.GetRadius();
    for (UINT dpi : {192u, 144u, kBaseDpi}) {
        SCOPED_TRACE(dpi);
        k.knob.SetDpi(dpi);
        ::SetWindowPos(k.wnd, nullptr, 0, 0, ScaleFigure(50, dpi), ScaleFigure(50, dpi), SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(k.knob.GetCentre().x, centre.x);
        EXPECT_EQ(k.knob.GetCentre().y, centre.y);
        EXPECT_EQ(k.knob.GetRadius(), radius);
    }
    // A real resize (at one scale) makes the dial again, as it always did.
    ::SetWindowPos(k.wnd, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(k.knob.GetRadius(), 40 / 2 - 10 - 1);
}

TEST(ScaledKnob, TheIndicatorSitsWhereItSitsAt96DpiScaled)
{
    ScaledKnob one(kBaseDpi, false);
    ScaledKnob two(192, false);
    for (int pos : {0, 20, 50}) {
        one.knob.SetPos(pos);
        two.knob.SetPos(pos);
        ::UpdateWindow(one.wnd);
        ::RedrawWindow(one.wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ::RedrawWindow(two.wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_NEAR(two.knob.GetIndicatorCentre().x, 2 * one.knob.GetIndicatorCentre().x, 1) << pos;
        EXPECT_NEAR(two.knob.GetIndicatorCentre().y, 2 * one.knob.GetIndicatorCentre().y, 1) << pos;
    }
}

TEST(ScaledPicture, AChangeOfScaleShowsWhatWasShownInPicturesOfTheNewScale)
{
    ControlHost host{100, 100, 400, 300};
    host.AddChild(L"Static", 1200, SS_BITMAP, 10, 10, 10, 10);
    host.AddChild(L"Static", 1201, SS_BITMAP, 10, 100, 10, 10);
    CMyStaticBmp toggle;
    CMyStaticBmp list;
    ASSERT_TRUE(toggle.SubclassDlgItem(1200, host));
    ASSERT_TRUE(list.SubclassDlgItem(1201, host));
    toggle.SetStateBitmaps(IDB_MASTER_MUTE_ON, IDB_MASTER_MUTE_OFF);
    toggle.SetState(true);
    const UINT rooms[4] = {IDB_HIFI_ROOM_LIVING, IDB_HIFI_ROOM_ENTERTAINMENT, IDB_HIFI_ROOM_BEDROOM,
                           IDB_HIFI_ROOM_LIVING};
    list.SetPictureList(rooms, 0);
    list.ShowPicture(2);
    const SIZE toggle96 = WindowSize(toggle);
    const SIZE room96 = WindowSize(list);

    for (UINT dpi : {192u, 120u, kBaseDpi}) {
        SCOPED_TRACE(dpi);
        toggle.SetDpi(dpi);
        list.SetDpi(dpi);
        EXPECT_EQ(toggle.GetBitmap(), toggle.GetOnBitmap()) << "the state shown stays";
        EXPECT_EQ(list.GetBitmap(), list.GetPicture(2)) << "the slot shown stays";
        EXPECT_EQ(list.m_currentIndex, 0);
        EXPECT_EQ(BitmapSize(toggle.GetOffBitmap()).cx, ScaleFigure(40, dpi));
        // The pictures size their controls.
        EXPECT_EQ(WindowSize(toggle).cx, ScaleFigure(toggle96.cx, dpi));
        EXPECT_EQ(WindowSize(list).cy, ScaleFigure(room96.cy, dpi));
    }
}

TEST(ScaledButton, ABitmapButtonTakesItsPicturesAndSizeAtTheScale)
{
    ControlHost host{100, 100, 300, 200};
    host.AddChild(L"Button", 1300, BS_PUSHBUTTON, 10, 10, 10, 10);
    CBitmapButton button;
    ASSERT_TRUE(button.SubclassDlgItem(1300, host));
    button.LoadBitmaps(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED);
    button.SizeToContent();
    button.SetDpi(144);
    EXPECT_EQ(button.GetBitmapSize().cx, ScaleFigure(43, 144));
    EXPECT_EQ(WindowSize(button).cy, ScaleFigure(27, 144));
    button.SetDpi(kBaseDpi);
    EXPECT_EQ(WindowSize(button).cx, 43);
}

// The font a label hands its page with the colour request.
LONG LabelFontHeight(CLabel& label, HWND host)
{
    HDC dc = ::GetDC(label);
    ::SendMessageW(host, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label.m_hWnd));
    LOGFONTW lf{};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
    ::SelectObject(dc, ::GetStockObject(SYSTEM_FONT));
    ::ReleaseDC(label, dc);
    return lf.lfHeight;
}

TEST(ScaledText, LabelAndListFontsAreTheirSizeAt96DpiScaled)
{
    ControlHost host{100, 100, 400, 300};
    host.AddChild(L"Static", 1100, SS_LEFT, 10, 10, 280, 30, L"Copyright");
    CLabel label(RGB(235, 235, 235));
    ASSERT_TRUE(label.SubclassDlgItem(1100, host));
    HWND edit = host.AddChild(L"Edit", 1082, ES_AUTOHSCROLL, 10, 60, 100, 15);
    CMyComboBox box;
    ASSERT_TRUE(box.SubclassDlgItem(1082, host));
    HFONT dialogFont = reinterpret_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageW(host, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
    LOGFONTW created{};
    ::GetObjectW(dialogFont, sizeof created, &created);
    box.SetDpi(kBaseDpi); // the scale it was created at
    box.SetFaceBitmap(IDB_COMBO_FACE_EDIT);

    // 8.7 points are 12 pixels at 96 DPI.
    for (UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        label.SetDpi(dpi);
        EXPECT_EQ(LabelFontHeight(label, host), -ScaleFigure(12, dpi));
        box.SetDpi(dpi);
        LOGFONTW lf{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_EQ(lf.lfHeight, ::MulDiv(created.lfHeight, static_cast<int>(dpi), 96));
    }
    // Back at the scale it was created at, the edit box shows the dialog's own font.
    box.SetDpi(kBaseDpi);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)), dialogFont);
}

} // namespace
