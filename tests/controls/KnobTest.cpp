// The round knob: a real trackbar underneath, driven with real messages.
#include "ControlHost.h"
#include "RoundSliderCtrl.h"
#include "resource.h"

#include <cmath>
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

struct Scroll {
    int code;
    int pos;
};

std::vector<Scroll> Scrolls(const std::vector<RecordedMessage>& all, HWND knob)
{
    std::vector<Scroll> out;
    for (const auto& m : all) {
        if (m.msg == WM_HSCROLL && reinterpret_cast<HWND>(m.lp) == knob)
            out.push_back({static_cast<int>(LOWORD(m.wp)), static_cast<int>(HIWORD(m.wp))});
    }
    return out;
}

// A client point at `angle` degrees clockwise from 12 o'clock, `r` px from
// the dial centre.
POINT AtAngle(const CRoundSliderCtrl& knob, double angle, double r = 15)
{
    const double t = angle * 3.14159265358979 / 180;
    POINT c = knob.GetCentre();
    return {static_cast<LONG>(std::lround(c.x + std::sin(t) * r)), static_cast<LONG>(std::lround(c.y - std::cos(t) * r))};
}

// The pointer angle whose target is `pos` (middle of its slice).
double AngleFor(int pos, int minimum, int maximum, int zero = 220)
{
    return std::fmod((pos - minimum + 0.5) * 360.0 / (maximum + 1 - minimum) + zero, 360.0);
}

class Knob : public ::testing::Test {
protected:
    void Make(int size)
    {
        wnd = host.AddChild(TRACKBAR_CLASSW, 1022, TBS_HORZ | TBS_NOTICKS, 20, 20, size, size);
        ASSERT_TRUE(knob.SubclassDlgItem(1022, host));
    }
    // The Main page's master knob set-up.
    void MainSetup(UINT bitmap = IDB_KNOB_FACE_LARGE, int indicator = 10)
    {
        knob.SetRange(0, 65);
        knob.SetPos(20);
        knob.SetDragLimit(50);
        knob.SetIndicatorRadius(indicator);
        knob.SetZeroAngle(220);
        knob.SetIndicatorColor(RGB(0, 0, 255));
        knob.SetIndicatorPressedColor(RGB(255, 0, 0));
        knob.SetBackgroundBitmap(bitmap);
        host.Clear();
    }
    // The Hifi page's bass / treble knobs.
    void HifiSetup()
    {
        knob.SetRange(0, 52);
        knob.SetPos(0);
        knob.SetDragLimit(40);
        knob.SetIndicatorRadius(7);
        knob.SetBackgroundBitmap(IDB_KNOB_FACE_SMALL);
        host.Clear();
    }
    ControlHost host{200, 200, 120, 120};
    CRoundSliderCtrl knob;
    HWND wnd = nullptr;
};

TEST_F(Knob, AttachmentSetsTheStepsAndTheGeometryThePagesKeep)
{
    // Range, drag limit, zero angle and indicator radius are set by every
    // page that uses a knob; the key steps and the geometry taken at
    // attachment are not.
    Make(50);
    EXPECT_EQ(knob.GetLineSize(), 1);
    EXPECT_EQ(knob.GetPageSize(), 10);
    EXPECT_EQ(knob.GetCentre().x, 25);
    EXPECT_EQ(knob.GetCentre().y, 25);
    // m/2 - (-2) - 1; kept when the page sets its indicator radius later.
    EXPECT_EQ(knob.GetRadius(), 26);
    MainSetup();
    EXPECT_EQ(knob.GetRadius(), 26);
    EXPECT_EQ(knob.GetPos(), 20);
}

TEST_F(Knob, IndicatorAngleAndPaintedDot)
{
    EXPECT_EQ(CRoundSliderCtrl::IndicatorAngle(20, 0, 65, 220, false), 329);
    EXPECT_EQ(CRoundSliderCtrl::IndicatorAngle(0, 0, 65, 220, false), 220);
    EXPECT_EQ(CRoundSliderCtrl::IndicatorAngle(20, 0, 65, 220, true), 31);
    Make(50);
    MainSetup();
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // R = 26 - 10 = 16 from (25, 25) at 329 degrees.
    const double t = 329 * 3.141592654 / 180;
    POINT dot = knob.GetIndicatorCentre();
    EXPECT_EQ(dot.x, static_cast<int>(25 + std::sin(t) * 16));
    EXPECT_EQ(dot.y, static_cast<int>(25 - std::cos(t) * 16));
    // The dot is filled blue (s = 8: ellipse from dot - 6 to dot + 8).
    EXPECT_EQ(ScreenPixel(wnd, dot.x + 1, dot.y + 1), RGB(0, 0, 255));
}

TEST_F(Knob, DragStepsOncePerEventTowardThePointer)
{
    Make(50);
    MainSetup();
    knob.SetPos(0);
    POINT p = AtAngle(knob, AngleFor(30, 0, 65));
    SendPress(wnd, p.x, p.y);
    EXPECT_EQ(::GetCapture(), wnd);
    EXPECT_EQ(::GetFocus(), wnd);
    EXPECT_EQ(knob.GetPos(), 1);
    for (int i = 0; i < 5; ++i)
        SendMove(wnd, p.x, p.y);
    EXPECT_EQ(knob.GetPos(), 6);
    SendRelease(wnd, p.x, p.y);
    EXPECT_EQ(knob.GetPos(), 7);
    EXPECT_FALSE(knob.IsDragging());
    auto s = Scrolls(host.Take(), wnd);
    ASSERT_EQ(s.size(), 8u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(s[i].code, TB_THUMBTRACK);
        EXPECT_EQ(s[i].pos, i + 1);
    }
    EXPECT_EQ(s[7].code, TB_THUMBPOSITION);
    EXPECT_EQ(s[7].pos, 7);
}

TEST_F(Knob, DragStopsAtTheLimitAndTheDeadZoneSplits)
{
    Make(19);
    HifiSetup();
    knob.SetPos(38);
    // Targets 41 ... 46 push up to 40 and hold there.
    for (int target = 41; target <= 46; ++target) {
        knob.SetPos(38);
        POINT p = AtAngle(knob, AngleFor(target, 0, 52), 40);
        SendPress(wnd, p.x, p.y);
        SendMove(wnd, p.x, p.y);
        SendMove(wnd, p.x, p.y);
        EXPECT_EQ(knob.GetPos(), 40) << target;
        SendMove(wnd, p.x, p.y);
        EXPECT_EQ(knob.GetPos(), 40) << target;
        SendRelease(wnd, p.x, p.y);
    }
    // Targets 47 ... 52 pull it down one step per event.
    for (int target = 47; target <= 52; ++target) {
        knob.SetPos(30);
        POINT p = AtAngle(knob, AngleFor(target, 0, 52), 40);
        SendPress(wnd, p.x, p.y);
        EXPECT_EQ(knob.GetPos(), 29) << target;
        SendMove(wnd, p.x, p.y);
        EXPECT_EQ(knob.GetPos(), 28) << target;
        SendRelease(wnd, p.x, p.y);
    }
}

TEST_F(Knob, PressWithoutMovementOnTheCurrentPositionPostsNothing)
{
    Make(50);
    MainSetup();
    POINT p = AtAngle(knob, AngleFor(20, 0, 65));
    SendPress(wnd, p.x, p.y);
    EXPECT_TRUE(knob.IsDragging());
    SendRelease(wnd, p.x, p.y);
    EXPECT_EQ(knob.GetPos(), 20);
    EXPECT_TRUE(Scrolls(host.Take(), wnd).empty());
}

TEST_F(Knob, KeysStopAtTheEndsAndNeverPassTheDragLimit)
{
    Make(50);
    HifiSetup(); // 0 ... 52, drag limit 40, at 0
    // At the minimum, Left and Up stay there: no wrap-around to 52.
    for (WPARAM key : {VK_LEFT, VK_UP, VK_PRIOR}) {
        ::SendMessageW(wnd, WM_KEYDOWN, key, 0);
        EXPECT_EQ(knob.GetPos(), 0) << "key " << key;
        ::SendMessageW(wnd, WM_KEYUP, key, 0);
    }
    ::SendMessageW(wnd, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(knob.GetPos(), 1);
    ::SendMessageW(wnd, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(knob.GetPos(), 11);
    for (int i = 0; i < 5; ++i)
        ::SendMessageW(wnd, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(knob.GetPos(), 40) << "Page Down stops at the drag limit";
    ::SendMessageW(wnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(knob.GetPos(), 40) << "no step past the drag limit, and no wrap to 0";
    ::SendMessageW(wnd, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(knob.GetPos(), 39);
    ::SendMessageW(wnd, WM_KEYDOWN, VK_HOME, 0);
    ::SendMessageW(wnd, WM_KEYDOWN, VK_END, 0);
    ::SendMessageW(wnd, WM_KEYUP, VK_END, 0);
    EXPECT_EQ(knob.GetPos(), 39);

    auto s = Scrolls(host.Take(), wnd);
    ASSERT_EQ(s.size(), 3u + 3u + 1u + 6u + 1u + 1u);
    EXPECT_EQ(s[0].code, TB_LINEUP);
    EXPECT_EQ(s[0].pos, 0);
    EXPECT_EQ(s[1].code, TB_ENDTRACK);
    for (const Scroll& scroll : s)
        EXPECT_LE(scroll.pos, 40) << "no notice ever carries a position past the limit";
    EXPECT_EQ(s.back().code, TB_LINEUP);
    EXPECT_EQ(s.back().pos, 39);
}

TEST_F(Knob, APositionAboveTheDragLimitOnlyStepsDown)
{
    Make(50);
    MainSetup(); // 0 ... 65, drag limit 50
    knob.SetPos(60); // set by the program, not by the user
    ::SendMessageW(wnd, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(knob.GetPos(), 60) << "not pushed further up";
    ::SendMessageW(wnd, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(knob.GetPos(), 59);
    knob.SetPos(65);
    ::SendMessageW(wnd, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(knob.GetPos(), 65) << "no wrap from the maximum to 0";
}

TEST_F(Knob, RoundWindowRefusesACornerClick)
{
    Make(50);
    MainSetup();
    RECT wr = knob.CWnd::GetWindowRect();
    POINT corner{wr.left + 2, wr.top + 2};
    POINT middle{wr.left + 25, wr.top + 25};
    EXPECT_EQ(::WindowFromPoint(middle), wnd);
    EXPECT_NE(::WindowFromPoint(corner), wnd);
    EXPECT_EQ(::WindowFromPoint(corner), host.m_hWnd);
}

TEST_F(Knob, DragByIndicatorOnlyIgnoresPressesAwayFromTheDot)
{
    Make(50);
    MainSetup();
    knob.SetDragByIndicatorOnly(true);
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::SetFocus(host);
    POINT away = AtAngle(knob, 120);
    SendPress(wnd, away.x, away.y);
    EXPECT_FALSE(knob.IsDragging());
    EXPECT_NE(::GetFocus(), wnd);
    EXPECT_EQ(knob.GetPos(), 20);
    POINT dot = knob.GetIndicatorCentre();
    SendPress(wnd, dot.x, dot.y);
    EXPECT_TRUE(knob.IsDragging());
    SendRelease(wnd, dot.x, dot.y);
}

TEST_F(Knob, WheelStepsInsideAndIsSwallowedOutside)
{
    Make(50);
    MainSetup();
    RECT wr = knob.CWnd::GetWindowRect();
    ::SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(wr.left + 25, wr.top + 25));
    EXPECT_EQ(knob.GetPos(), 21);
    ::SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), MAKELPARAM(wr.left + 25, wr.top + 25));
    EXPECT_EQ(knob.GetPos(), 19);
    ::SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(wr.left + 80, wr.top + 25));
    EXPECT_EQ(knob.GetPos(), 19);
    auto s = Scrolls(host.Take(), wnd);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.back().pos, 19);
}

TEST_F(Knob, TheWheelStopsAtTheEndsAndAtTheDragLimit)
{
    Make(50);
    HifiSetup();
    RECT wr = knob.CWnd::GetWindowRect();
    const LPARAM inside = MAKELPARAM(wr.left + 25, wr.top + 25);
    ::SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), inside);
    EXPECT_EQ(knob.GetPos(), 0);
    ::SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(50 * WHEEL_DELTA / 2)), inside);
    EXPECT_EQ(knob.GetPos(), 25);
    ::SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(20 * WHEEL_DELTA)), inside);
    EXPECT_EQ(knob.GetPos(), 40);
    for (const Scroll& scroll : Scrolls(host.Take(), wnd))
        EXPECT_LE(scroll.pos, 40);
}

TEST_F(Knob, LosingTheCaptureEndsTheDrag)
{
    Make(50);
    MainSetup();
    knob.SetPos(0);
    POINT p = AtAngle(knob, AngleFor(30, 0, 65));
    SendPress(wnd, p.x, p.y);
    ASSERT_TRUE(knob.IsDragging());
    ::SetCapture(host);
    ::ReleaseCapture();
    EXPECT_FALSE(knob.IsDragging());
    auto s = Scrolls(host.Take(), wnd);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[1].code, TB_THUMBPOSITION);
    SendMove(wnd, p.x, p.y); // button up: the knob stays
    EXPECT_EQ(knob.GetPos(), 1);
}

TEST(KnobBevel, BlendEndsAtTheDiagonals)
{
    const COLORREF a = RGB(255, 255, 255), b = RGB(0, 0, 0);
    EXPECT_EQ(CRoundSliderCtrl::BevelColor(-135 * 3.141592654 / 180, a, b), b);
    // The blend's constants (2.356, 6.293) stop a hair short of the exact end.
    COLORREF lowerRight = CRoundSliderCtrl::BevelColor(45 * 3.141592654 / 180, a, b);
    EXPECT_GE(GetRValue(lowerRight), 254);
    EXPECT_GE(GetBValue(lowerRight), 254);
    // Halfway round (top right) it is a mid grey.
    COLORREF mid = CRoundSliderCtrl::BevelColor(-45 * 3.141592654 / 180, a, b);
    EXPECT_NEAR(GetRValue(mid), 127, 2);

    // A ring of radius 7 around (10, 10) on a white surface.
    fw::ScopedWindowDC screen(nullptr);
    fw::UniqueBitmap bmp(::CreateCompatibleBitmap(screen.get(), 21, 21));
    fw::UniqueMemDC memory(::CreateCompatibleDC(screen.get()));
    HDC dc = memory.get();
    fw::ScopedSelect select(dc, bmp.get());
    RECT all{0, 0, 21, 21};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    CRoundSliderCtrl::DrawBevelCircle(dc, 10, 10, 7, RGB(200, 0, 0), RGB(0, 0, 200));
    EXPECT_EQ(::GetPixel(dc, 17, 10), CRoundSliderCtrl::BevelColor(0, RGB(200, 0, 0), RGB(0, 0, 200)));
    EXPECT_EQ(::GetPixel(dc, 10, 3), CRoundSliderCtrl::BevelColor(-1.570796327, RGB(200, 0, 0), RGB(0, 0, 200)));
    EXPECT_EQ(::GetPixel(dc, 10, 10), RGB(255, 255, 255));
}

} // namespace
