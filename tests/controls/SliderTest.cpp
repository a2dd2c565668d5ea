// The bitmap slider and its off-screen surface, driven through real windows
// and messages.
#include "BitmapSlider.h"
#include "ControlHost.h"
#include "MemDC.h"
#include "PanelMessages.h"
#include "ResourceBitmap.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <optional>
#include <utility>
#include <vector>

namespace {

const int kSliderId = 2001;

std::vector<RecordedMessage> Only(const std::vector<RecordedMessage>& all, UINT msg)
{
    std::vector<RecordedMessage> out;
    for (const auto& m : all)
        if (m.msg == msg)
            out.push_back(m);
    return out;
}

// The Hp page's crossover slider: 0 ... 250, channel 319 (202 px), thumb 302
// (28 px), no margins, start 150.
class CrossoverSlider : public ::testing::Test {
protected:
    void SetUp() override
    {
        wnd = host.AddChild(L"Static", kSliderId, SS_NOTIFY | SS_BITMAP, 10, 10, 202, 14);
        ASSERT_TRUE(slider.SubclassDlgItem(kSliderId, host));
        ASSERT_TRUE(slider.SetChannelBitmaps(IDB_CROSSOVER_CHANNEL, 0));
        ASSERT_TRUE(slider.SetThumbBitmaps(IDB_BALANCE_THUMB, 0));
        slider.SetMargins(0, 0, 0, 0);
        slider.SetVertical(false);
        slider.SetRange(0, 250);
        slider.SetPos(150);
        host.Clear();
    }
    ControlHost host{100, 100, 300, 60};
    CBitmapSlider slider;
    HWND wnd = nullptr;
};

TEST_F(CrossoverSlider, PixelArithmeticFollowsTheTrack)
{
    EXPECT_EQ(slider.GetChannelWidth(), 202);
    EXPECT_EQ(slider.GetThumbWidth(), 28);
    EXPECT_EQ(slider.PositionToPixel(150), 118);
    EXPECT_EQ(slider.PositionToPixel(0), 14);
    EXPECT_EQ(slider.PositionToPixel(250), 188);
    // 1/250 x 174 = 0.696 truncates to the same pixel as 0.
    EXPECT_EQ(slider.PositionToPixel(1), 14);
    EXPECT_EQ(slider.PixelToPosition(14), 0);
    EXPECT_EQ(slider.PixelToPosition(188), 250);
    // (118 - 14) / 174 x 250 = 149.42...: truncated, not rounded.
    EXPECT_EQ(slider.PixelToPosition(118), 149);
    // Left of the start gives a negative value (truncated toward zero).
    EXPECT_EQ(slider.PixelToPosition(13), -1);
}

TEST_F(CrossoverSlider, ClickBesideTheThumbJumpsThereAndPosts)
{
    SendPress(wnd, 50, 7);
    EXPECT_TRUE(slider.IsDragging());
    EXPECT_EQ(::GetCapture(), wnd);
    EXPECT_EQ(::GetFocus(), wnd);
    const int32_t expected = slider.PixelToPosition(50);
    EXPECT_EQ(expected, 51); // T((50 - 14) / 174 x 250)
    EXPECT_EQ(slider.GetPos(), expected);
    auto track = Only(host.Take(), WM_SLIDER_TRACK);
    ASSERT_EQ(track.size(), 1u);
    EXPECT_EQ(track[0].wp, static_cast<WPARAM>(kSliderId));
    EXPECT_EQ(static_cast<int32_t>(track[0].lp), expected);

    SendRelease(wnd, 50, 7);
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_EQ(::GetCapture(), nullptr);
    auto all = host.Take();
    EXPECT_TRUE(Only(all, WM_SLIDER_TRACK).empty());
    auto settled = Only(all, WM_SLIDER_SETTLED);
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(static_cast<int32_t>(settled[0].lp), expected);
}

TEST_F(CrossoverSlider, PressOnTheThumbKeepsTheGripUntilItMovesAPixel)
{
    // The thumb centre is at 118; grab it 6 px right of the centre.
    SendPress(wnd, 124, 7);
    EXPECT_EQ(slider.GetPos(), 150);
    EXPECT_TRUE(Only(host.Take(), WM_SLIDER_TRACK).empty());
    // The grip stays 6 px right of the centre: at 150 the centre is at 144.
    SendMove(wnd, 150, 7);
    EXPECT_EQ(slider.GetPos(), slider.PixelToPosition(144));
    EXPECT_EQ(slider.GetPos(), 186);
    auto track = Only(host.Take(), WM_SLIDER_TRACK);
    ASSERT_EQ(track.size(), 1u);
    EXPECT_EQ(track[0].lp, 186);
    SendRelease(wnd, 150, 7);
}

TEST_F(CrossoverSlider, DraggingPastEitherEndPinsThumbAndValue)
{
    SendPress(wnd, 118, 7);
    SendMove(wnd, -300, 7);
    EXPECT_EQ(slider.GetPos(), 0);
    EXPECT_EQ(slider.PositionToPixel(slider.GetPos()), 14);
    SendMove(wnd, 5000, 40);
    EXPECT_EQ(slider.GetPos(), 250);
    EXPECT_EQ(slider.PositionToPixel(slider.GetPos()), 188);
    auto track = Only(host.Take(), WM_SLIDER_TRACK);
    ASSERT_EQ(track.size(), 2u);
    EXPECT_EQ(track[0].lp, 0);
    EXPECT_EQ(track[1].lp, 250);
    SendRelease(wnd, 5000, 40);
}

TEST_F(CrossoverSlider, KeysStepClampAndAlwaysSettle)
{
    auto key = [&](UINT vk) {
        ::SendMessageW(wnd, WM_KEYDOWN, vk, 0);
        return Only(host.Take(), WM_SLIDER_SETTLED);
    };
    auto s = key(VK_END);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].lp, 250);
    // At the end already: posted again with the unchanged position.
    s = key(VK_END);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].lp, 250);
    EXPECT_EQ(s[0].wp, static_cast<WPARAM>(kSliderId));
    s = key(VK_HOME);
    EXPECT_EQ(s.at(0).lp, 0);
    s = key(VK_HOME);
    EXPECT_EQ(s.at(0).lp, 0);
    s = key(VK_LEFT);
    EXPECT_EQ(s.at(0).lp, 0);
    key(VK_RIGHT);
    key(VK_DOWN);
    EXPECT_EQ(slider.GetPos(), 2);
    key(VK_UP);
    EXPECT_EQ(slider.GetPos(), 1);

    slider.SetPos(240);
    s = key(VK_NEXT);
    EXPECT_EQ(s.at(0).lp, 250); // stops at the maximum, no wrap-around
    key(VK_PRIOR);
    EXPECT_EQ(slider.GetPos(), 230);

    // Keys the slider does not take post nothing.
    EXPECT_TRUE(key('A').empty());
    EXPECT_TRUE(Only(host.Take(), WM_SLIDER_TRACK).empty());
}

TEST_F(CrossoverSlider, KeysThatMoveTheThumbReportTheMoveBeforeTheSettle)
{
    auto key = [&](UINT vk) {
        ::SendMessageW(wnd, WM_KEYDOWN, vk, 0);
        std::vector<std::pair<UINT, LPARAM>> posted;
        for (const auto& m : host.Take())
            if (m.msg == WM_SLIDER_TRACK || m.msg == WM_SLIDER_SETTLED)
                posted.emplace_back(m.msg, m.lp);
        return posted;
    };
    slider.SetPos(100);
    using Posted = std::vector<std::pair<UINT, LPARAM>>;
    EXPECT_EQ(key(VK_RIGHT), (Posted{{WM_SLIDER_TRACK, 101}, {WM_SLIDER_SETTLED, 101}}));
    EXPECT_EQ(key(VK_HOME), (Posted{{WM_SLIDER_TRACK, 0}, {WM_SLIDER_SETTLED, 0}}));
    // Nothing moved: only the settle notice.
    EXPECT_EQ(key(VK_HOME), (Posted{{WM_SLIDER_SETTLED, 0}}));
    EXPECT_EQ(key(VK_LEFT), (Posted{{WM_SLIDER_SETTLED, 0}}));
}

TEST_F(CrossoverSlider, AsksForArrowKeysExceptWhileTabIsHeld)
{
    EXPECT_EQ(::SendMessageW(wnd, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    BYTE keys[256];
    ASSERT_TRUE(::GetKeyboardState(keys));
    BYTE saved = keys[VK_TAB];
    keys[VK_TAB] = 0x80;
    ::SetKeyboardState(keys);
    LRESULT withTab = ::SendMessageW(wnd, WM_GETDLGCODE, 0, 0);
    keys[VK_TAB] = saved;
    ::SetKeyboardState(keys);
    EXPECT_NE(withTab, DLGC_WANTARROWS);
}

TEST_F(CrossoverSlider, ReleaseWithoutDragStillSettlesAndSetPosPostsNothing)
{
    slider.SetPos(400);
    EXPECT_EQ(slider.GetPos(), 250);
    slider.SetPos(-3);
    EXPECT_EQ(slider.GetPos(), 0);
    EXPECT_TRUE(host.Take().empty());
    SendRelease(wnd, 20, 7);
    auto s = Only(host.Take(), WM_SLIDER_SETTLED);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].lp, 0);
}

TEST_F(CrossoverSlider, LosingTheCaptureEndsTheDrag)
{
    SendPress(wnd, 118, 7);
    ASSERT_TRUE(slider.IsDragging());
    ::SetCapture(host);
    EXPECT_FALSE(slider.IsDragging());
    ::ReleaseCapture();
    host.Clear();
    SendMove(wnd, 30, 7); // no button held any more: nothing moves
    EXPECT_EQ(slider.GetPos(), 150);
    EXPECT_TRUE(host.Take().empty());
}

// A pixel of one of the program's bitmaps.
COLORREF BitmapPixel(UINT id, int x, int y)
{
    fw::UniqueBitmap bitmap(LoadSkinBitmap(id));
    fw::UniqueMemDC mem(::CreateCompatibleDC(nullptr));
    fw::ScopedSelect select(mem.get(), bitmap.get());
    return bitmap ? ::GetPixel(mem.get(), x, y) : CLR_INVALID;
}

TEST_F(CrossoverSlider, MissingBitmapFailsAndDropsTheOldOne)
{
    auto paint = [&] { ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
    // A pixel of the channel beside the thumb, and one under the thumb's
    // centre where the thumb and the channel differ.
    const int y = slider.GetThumbHeight() / 2;
    const POINT besideThumb{20, y};
    const POINT underThumb{slider.PositionToPixel(150), y};
    const COLORREF channel = BitmapPixel(IDB_CROSSOVER_CHANNEL, besideThumb.x, y);
    const COLORREF channelUnderThumb = BitmapPixel(IDB_CROSSOVER_CHANNEL, underThumb.x, y);
    const COLORREF thumb = BitmapPixel(IDB_BALANCE_THUMB, slider.GetThumbWidth() / 2, y);
    ASSERT_NE(thumb, channelUnderThumb) << "pick a pixel where the thumb shows";
    paint();
    ASSERT_EQ(ScreenPixel(wnd, besideThumb.x, y), channel);
    ASSERT_EQ(ScreenPixel(wnd, underThumb.x, y), thumb);

    // A thumb pair whose first bitmap is missing: no thumb any more, the
    // channel shows where it was.
    EXPECT_FALSE(slider.SetThumbBitmaps(9998, 0));
    paint();
    EXPECT_EQ(ScreenPixel(wnd, underThumb.x, y), channelUnderThumb);

    // A channel pair whose second bitmap is missing: the first, loaded
    // fine, is dropped too, and the old channel with it.
    EXPECT_FALSE(slider.SetChannelBitmaps(IDB_CROSSOVER_CHANNEL, 9999));
    paint();
    EXPECT_NE(ScreenPixel(wnd, besideThumb.x, y), channel);

    EXPECT_TRUE(slider.SetChannelBitmaps(IDB_CROSSOVER_CHANNEL, 0));
    paint();
    EXPECT_EQ(ScreenPixel(wnd, besideThumb.x, y), channel);
}

TEST(BitmapSliderVertical, EqualizerBandRangeAndClamp)
{
    ControlHost host{100, 100, 100, 200};
    host.AddChild(L"Static", 1033, SS_NOTIFY | SS_BITMAP, 10, 10, 16, 137);
    CBitmapSlider band;
    ASSERT_TRUE(band.SubclassDlgItem(1033, host));
    ASSERT_TRUE(band.SetChannelBitmaps(IDB_BAND_CHANNEL_FIRST, IDB_BAND_CHANNEL_FIRST));
    ASSERT_TRUE(band.SetThumbBitmaps(IDB_BAND_THUMB, IDB_BAND_THUMB));
    band.SetVertical(true);
    band.SetRange(-1310680, 1310720);
    band.SetPos(0);
    // 137 px channel, 12 px thumb: centre runs 6 ... 131, span 125.
    EXPECT_EQ(band.PositionToPixel(-1310680), 6);
    EXPECT_EQ(band.PositionToPixel(1310720), 131);
    EXPECT_EQ(band.PositionToPixel(0), 6 + static_cast<int>(1310680.0 / 2621400.0 * 125));
    // Top of the channel is the minimum.
    SendPress(band, 8, -50);
    EXPECT_EQ(band.GetPos(), -1310680);
    SendMove(band, 8, 500);
    EXPECT_EQ(band.GetPos(), 1310720);
    SendRelease(band, 8, 500);
    auto all = host.Take();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(static_cast<int32_t>(all.back().lp), 1310720);
    // Page Up from the maximum and the extreme keys clamp without overflow.
    band.SetPageSize(2000000000);
    ::SendMessageW(band, WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(band.GetPos(), -1310680);
}

TEST(BitmapSliderFit, WideHorizontalChannelRepeatsFromItsLeftEdge)
{
    ControlHost host{100, 100, 400, 60, RGB(255, 0, 255)};
    // 300 px wide slot for a 124 px balance channel, 30 px tall.
    host.AddChild(L"Static", 1047, SS_NOTIFY | SS_BITMAP, 0, 0, 300, 30);
    CBitmapSlider balance;
    ASSERT_TRUE(balance.SubclassDlgItem(1047, host));
    balance.SetFitToBitmap(true);
    ASSERT_TRUE(balance.SetChannelBitmaps(IDB_BALANCE_CHANNEL_MASTER, IDB_BALANCE_CHANNEL_MASTER));
    ASSERT_TRUE(balance.SetThumbBitmaps(IDB_BALANCE_THUMB, IDB_BALANCE_THUMB));
    balance.SetRange(0, 100);
    balance.SetPos(100); // thumb at the right end: 272 ... 299
    RECT rc = balance.CWnd::GetClientRect();
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 14); // across the axis: the bitmap's height
    EXPECT_EQ(balance.GetChannelWidth(), 300);

    ::RedrawWindow(balance, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // Pixels beyond the bitmap's width repeat it: column x shows column x % 124.
    int compared = 0;
    for (int x = 124; x < 272; x += 7) {
        for (int y = 0; y < 14; y += 4) {
            EXPECT_EQ(ScreenPixel(balance, x, y), ScreenPixel(balance, x % 124, y)) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 20);
}

TEST(DrawBitmapStrip, TilesFromTheTargetColumn)
{
    // A 10 x 1 source whose column i has red = 20 i.
    fw::ScopedWindowDC screen(nullptr);
    fw::UniqueBitmap source(::CreateCompatibleBitmap(screen.get(), 10, 2));
    fw::UniqueBitmap target(::CreateCompatibleBitmap(screen.get(), 40, 2));
    fw::UniqueMemDC memory(::CreateCompatibleDC(screen.get()));
    HDC mem = memory.get();
    HBITMAP src = source.get();
    std::optional<fw::ScopedSelect> select(std::in_place, mem, src);
    for (int i = 0; i < 10; ++i) {
        ::SetPixel(mem, i, 0, RGB(20 * i, 0, 0));
        ::SetPixel(mem, i, 1, RGB(0, 20 * i, 0));
    }
    select.emplace(mem, target.get());
    RECT all{0, 0, 40, 2};
    ::FillRect(mem, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    // Wider than the source: tiled, each piece from column (x mod 10), row 1.
    CBitmapSlider::DrawBitmapStrip(mem, 3, 0, 30, 1, src, 0, 1);
    EXPECT_EQ(::GetPixel(mem, 2, 0), RGB(255, 255, 255));
    for (int x = 3; x < 33; ++x)
        EXPECT_EQ(::GetPixel(mem, x, 0), RGB(0, 20 * (x % 10), 0)) << x;
    EXPECT_EQ(::GetPixel(mem, 33, 0), RGB(255, 255, 255));
    // Narrow enough: one piece from the given source column.
    CBitmapSlider::DrawBitmapStrip(mem, 0, 1, 4, 1, src, 5, 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(::GetPixel(mem, x, 1), RGB(20 * (x + 5), 0, 0)) << x;
}

TEST(MemDCSurface, DrawsInTargetCoordinatesAndCopiesOnceAtTheEnd)
{
    fw::ScopedWindowDC screen(nullptr);
    fw::UniqueBitmap target(::CreateCompatibleBitmap(screen.get(), 50, 50));
    fw::UniqueMemDC memory(::CreateCompatibleDC(screen.get()));
    HDC dc = memory.get();
    fw::ScopedSelect select(dc, target.get());
    RECT all{0, 0, 50, 50};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SetPixel(dc, 12, 12, RGB(1, 2, 3));
    ::SetBkColor(dc, RGB(0, 0, 200));
    {
        RECT area{10, 10, 30, 30};
        CMemDC copy(dc, &area, true);
        EXPECT_TRUE(copy.IsOffscreen());
        EXPECT_EQ(::GetPixel(copy, 12, 12), RGB(1, 2, 3)); // background copied, same coordinates
        ::SetPixel(copy, 20, 20, RGB(9, 9, 9));
        EXPECT_EQ(::GetPixel(dc, 20, 20), RGB(0, 0, 0)); // not on the target yet
    }
    EXPECT_EQ(::GetPixel(dc, 20, 20), RGB(9, 9, 9));
    EXPECT_EQ(::GetPixel(dc, 12, 12), RGB(1, 2, 3));
    {
        RECT area{0, 0, 8, 8};
        CMemDC fill(dc, &area, false);
        EXPECT_EQ(::GetPixel(fill, 3, 3), RGB(0, 0, 200)); // the target's background colour
    }
    EXPECT_EQ(::GetPixel(dc, 7, 7), RGB(0, 0, 200));
    EXPECT_EQ(::GetPixel(dc, 8, 8), RGB(0, 0, 0));
}

} // namespace

namespace {

// Every surface goes with its object: the bitmap it drew into is deselected
// and deleted, its context deleted, and the target keeps its own bitmap.
TEST(MemDCSurface, LeavesNothingBehindAndTheTargetAsItWas)
{
    fw::ScopedWindowDC screen(nullptr);
    fw::UniqueBitmap target(::CreateCompatibleBitmap(screen.get(), 64, 32));
    fw::UniqueMemDC dc(::CreateCompatibleDC(screen.get()));
    fw::ScopedSelect select(dc.get(), target.get());
    const int before = CountGdiObjects();
    HGDIOBJ firstSurface = nullptr;
    HDC firstContext = nullptr;
    for (int i = 0; i < 300; ++i) {
        RECT area{i % 9, 0, 20 + i % 40, 10 + i % 20};
        CMemDC surface(dc.get(), &area, i % 2 == 0);
        ASSERT_TRUE(surface.IsOffscreen());
        EXPECT_EQ(CountGdiObjects(), before + 2) << "its context and its bitmap";
        if (i == 0) {
            firstContext = surface.GetSafeHdc();
            firstSurface = ::GetCurrentObject(firstContext, OBJ_BITMAP);
            ASSERT_NE(firstSurface, target.get());
        }
    }
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_EQ(::GetObjectType(firstSurface), 0u);
    EXPECT_EQ(::GetObjectType(firstContext), 0u);
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), target.get());
}

} // namespace
