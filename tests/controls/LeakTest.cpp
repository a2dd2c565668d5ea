// Thousands of paints and drags keep the process's GDI objects flat. The
// count is checked to see a real leak first, so the measure can fail.
#include "BitmapSlider.h"
#include "ControlHost.h"
#include "Label.h"
#include "MyComboBox.h"
#include "RoundSliderCtrl.h"
#include "resource.h"
#include "TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

const int kRounds = 2000;
const int kSlack = 4; // the system's own caches may settle by a few objects

TEST(GdiCount, SeesObjectsThatAreNotReleased)
{
    const int before = CountGdiObjects();
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 50; ++i)
        brushes.push_back(::CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(CountGdiObjects(), before + 50);
    for (HBRUSH b : brushes)
        ::DeleteObject(b);
    EXPECT_EQ(CountGdiObjects(), before);
}

void Paint(HWND wnd)
{
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

TEST(GdiLeaks, SliderPaintedAndDraggedThousandsOfTimes)
{
    ControlHost host{100, 100, 300, 60};
    HWND wnd = host.AddChild(L"Static", 1086, SS_NOTIFY | SS_BITMAP, 10, 10, 202, 14);
    CBitmapSlider slider;
    ASSERT_TRUE(slider.SubclassDlgItem(1086, host));
    slider.SetChannelBitmaps(IDB_CROSSOVER_CHANNEL, IDB_CROSSOVER_CHANNEL);
    slider.SetThumbBitmaps(IDB_BALANCE_THUMB, IDB_BALANCE_THUMB);
    slider.SetRange(0, 250);
    Paint(wnd);
    host.Clear();
    const int before = CountGdiObjects();
    for (int i = 0; i < kRounds; ++i) {
        SendPress(wnd, i % 202, 5);
        SendMove(wnd, (i * 7) % 202, 5);
        Paint(wnd);
        SendRelease(wnd, (i * 7) % 202, 5);
        if (i % 200 == 0)
            host.Clear();
    }
    host.Clear();
    EXPECT_LE(CountGdiObjects(), before + kSlack);
}

TEST(GdiLeaks, KnobPaintedAndDraggedThousandsOfTimes)
{
    ControlHost host{100, 100, 100, 100};
    HWND wnd = host.AddChild(TRACKBAR_CLASSW, 1022, TBS_HORZ, 10, 10, 50, 50);
    CRoundSliderCtrl knob;
    ASSERT_TRUE(knob.SubclassDlgItem(1022, host));
    knob.SetRange(0, 65);
    knob.SetIndicatorRadius(10);
    knob.SetBackgroundBitmap(IDB_KNOB_FACE_LARGE);
    Paint(wnd);
    host.Clear();
    const int before = CountGdiObjects();
    // Four paints per round.
    for (int i = 0; i < kRounds / 2; ++i) {
        SendPress(wnd, 25 + (i % 20), 5);
        SendMove(wnd, 45, 25 + (i % 20));
        Paint(wnd);
        SendRelease(wnd, 5, 30);
        if (i % 100 == 0) {
            knob.SetIndicatorColor(RGB(0, 0, i % 256));
            knob.SetIndicatorPressedColor(RGB(i % 256, 0, 0));
            knob.UpdateGeometry();
            host.Clear();
        }
    }
    host.Clear();
    EXPECT_LE(CountGdiObjects(), before + kSlack);
}

TEST(GdiLeaks, LabelAndComboRepaintedThousandsOfTimes)
{
    ControlHost host{100, 100, 300, 100};
    HWND labelWnd = host.AddChild(L"Static", 1100, SS_LEFT, 10, 10, 200, 20, L"Windows version 6.1");
    HWND comboWnd = host.AddChild(L"ComboBox", 1081, CBS_DROPDOWNLIST, 10, 40, 105, 100);
    CLabel label(RGB(235, 235, 235));
    CMyComboBox combo;
    ASSERT_TRUE(label.SubclassDlgItem(1100, host));
    ASSERT_TRUE(combo.SubclassDlgItem(1081, host));
    combo.SetFaceBitmap(IDB_COMBO_FACE_LIST);
    combo.AddString(L"Preset");
    combo.SetCurSel(0);
    Paint(labelWnd);
    Paint(comboWnd);
    const int before = CountGdiObjects();
    for (int i = 0; i < kRounds; ++i) {
        Paint(labelWnd);
        Paint(comboWnd);
        if (i % 500 == 0)
            ::SetWindowTextW(labelWnd, i % 1000 ? L"DirectX 9.0c" : L"Windows version 6.1");
    }
    testsupport::PumpMessages();
    EXPECT_LE(CountGdiObjects(), before + kSlack);
}

} // namespace
