// Label, bitmap-faced combo box and static-bitmap picture.
#include "ControlHost.h"
#include "Label.h"
#include "MyComboBox.h"
#include "MyStaticBmp.h"
#include "ResourceBitmap.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

TEST(Label, AnswersTheColourRequestWithTransparentGreyText)
{
    ControlHost host{100, 100, 300, 60, RGB(20, 30, 120)};
    host.AddChild(L"Static", 1100, SS_LEFT, 10, 10, 280, 30, L"Driver version 5.12.01.0008 (long text that goes on)");
    CLabel label(RGB(235, 235, 235));
    ASSERT_TRUE(label.SubclassDlgItem(1100, host));
    ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    // The colour request, as the label sends it to its page.
    HDC dc = ::GetDC(label);
    LRESULT brush = ::SendMessageW(host, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(label.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetTextColor(dc), RGB(235, 235, 235));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    LOGFONTW lf{};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, L"微软雅黑");
    EXPECT_EQ(lf.lfHeight, -::MulDiv(87, ::GetDeviceCaps(dc, LOGPIXELSY), 720));
    ::SelectObject(dc, ::GetStockObject(SYSTEM_FONT));
    ::ReleaseDC(label, dc);

    // On screen: only the page colour and the text's grey (with its
    // antialiased blends toward the page colour); no box behind the text.
    int text = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 280; x += 2) {
            COLORREF c = ScreenPixel(label, x, y);
            if (c == RGB(20, 30, 120))
                continue;
            ++text;
            // A blend of the two lies between them in every channel.
            EXPECT_GE(GetRValue(c), 20);
            EXPECT_LE(GetRValue(c), 235);
            EXPECT_GE(GetBValue(c), 120);
            EXPECT_NE(c, ::GetSysColor(COLOR_BTNFACE));
        }
    }
    EXPECT_GT(text, 20);
    EXPECT_EQ(ScreenPixel(label, 278, 28), RGB(20, 30, 120));
}

TEST(MyComboBox, DropDownIsSwallowedSelectionReachesThePage)
{
    ControlHost host{100, 100, 200, 200};
    HWND wnd = host.AddChild(L"ComboBox", 1081, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 105, 150);
    CMyComboBox combo;
    ASSERT_TRUE(combo.SubclassDlgItem(1081, host));
    combo.SetFaceBitmap(IDB_COMBO_FACE_LIST);
    combo.AddString(L"Rock");
    combo.AddString(L"Jazz");
    combo.AddString(L"Classic");
    host.Clear();

    ::SendMessageW(wnd, CB_SHOWDROPDOWN, TRUE, 0);
    auto codes = [&] {
        std::vector<UINT> out;
        for (const auto& m : host.Take())
            if (m.msg == WM_COMMAND && reinterpret_cast<HWND>(m.lp) == wnd)
                out.push_back(HIWORD(m.wp));
        return out;
    };
    auto first = codes();
    for (UINT c : first) {
        EXPECT_NE(c, static_cast<UINT>(CBN_DROPDOWN));
        EXPECT_NE(c, static_cast<UINT>(CBN_SETFOCUS));
    }
    ::SendMessageW(wnd, CB_SHOWDROPDOWN, FALSE, 0);
    ::SetFocus(wnd);
    ::SendMessageW(wnd, WM_KEYDOWN, VK_DOWN, 0);
    auto second = codes();
    EXPECT_NE(std::find(second.begin(), second.end(), static_cast<UINT>(CBN_SELCHANGE)), second.end());
    EXPECT_EQ(std::find(second.begin(), second.end(), static_cast<UINT>(CBN_SETFOCUS)), second.end());
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(combo.GetWindowText(), L"Rock");
    ::SetFocus(host);
}

TEST(MyComboBox, NothingShowsBelowTheFaceOfTheList)
{
    ControlHost host{100, 100, 200, 80};
    HWND wnd = host.AddChild(L"ComboBox", 1081, CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 105, 150);
    CMyComboBox combo;
    ASSERT_TRUE(combo.SubclassDlgItem(1081, host));
    combo.SetFaceBitmap(IDB_COMBO_FACE_LIST);
    combo.AddString(L"Rock");
    combo.SetCurSel(0);
    ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    // The face is 105 x 19: every row of the closed box below it, if the
    // system keeps the box taller, is the page's own background.
    for (int y = 19; y < rc.bottom - rc.top; ++y) {
        for (int x : {2, 50, 100})
            EXPECT_EQ(ScreenPixel(host, 10 + x, 10 + y), host.m_background) << x << "," << y;
    }
    EXPECT_NE(ScreenPixel(host, 10 + 50, 10 + 9), host.m_background);
    // Clicks on the face reach the box; below it, the page.
    POINT onFace{rc.left + 50, rc.top + 9};
    EXPECT_EQ(::WindowFromPoint(onFace), wnd);
    if (rc.bottom - rc.top > 19) {
        POINT belowFace{rc.left + 50, rc.top + 19};
        EXPECT_EQ(::WindowFromPoint(belowFace), static_cast<HWND>(host));
    }
}

TEST(MyComboBox, EditBoxShowsBlackTextOnItsFace)
{
    ControlHost host{100, 100, 200, 60};
    HWND wnd = host.AddChild(L"Edit", 1082, ES_AUTOHSCROLL, 10, 10, 100, 15);
    CMyComboBox name;
    ASSERT_TRUE(name.SubclassDlgItem(1082, host));
    name.SetFaceBitmap(IDB_COMBO_FACE_EDIT);
    ::SetWindowTextW(wnd, L"My preset");
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // The face bitmap's own pixel at the far right (no text there).
    {
        fw::UniqueBitmap face(LoadSkinBitmap(IDB_COMBO_FACE_EDIT));
        ASSERT_TRUE(face);
        fw::UniqueMemDC mem(::CreateCompatibleDC(nullptr));
        fw::ScopedSelect select(mem.get(), face.get());
        EXPECT_EQ(ScreenPixel(wnd, 97, 7), ::GetPixel(mem.get(), 97, 7));
    }
    int dark = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 60; ++x) {
            COLORREF c = ScreenPixel(wnd, x, y);
            if (GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60)
                ++dark;
        }
    EXPECT_GT(dark, 15); // the text is drawn in black
    EXPECT_NE(ScreenPixel(wnd, 50, 7), RGB(255, 255, 255));
}

class Picture : public ::testing::Test {
protected:
    void SetUp() override
    {
        wnd = host.AddChild(L"Static", 1030, SS_BITMAP, 0, 0, 80, 80);
        ASSERT_TRUE(picture.SubclassDlgItem(1030, host));
    }
    ControlHost host{100, 100, 200, 100};
    CMyStaticBmp picture;
    HWND wnd = nullptr;
};

TEST_F(Picture, FourBitmapListRepeatsSlotZeroAndIgnoresBadIndexes)
{
    const UINT room[4] = {258, 259, 260, 258};
    EXPECT_TRUE(picture.SetPictureList(room, 2));
    EXPECT_EQ(picture.m_currentIndex, 2);
    EXPECT_EQ(picture.GetBitmap(), picture.GetPicture(2));
    ASSERT_NE(picture.GetPicture(0), nullptr);
    for (int i = 4; i <= 22; ++i) {
        picture.ShowPicture(i);
        EXPECT_EQ(picture.GetBitmap(), picture.GetPicture(0)) << i;
    }
    picture.ShowPicture(1);
    HBITMAP shown = picture.GetBitmap();
    picture.ShowPicture(23);
    picture.ShowPicture(-1);
    picture.ShowPicture(1000);
    EXPECT_EQ(picture.GetBitmap(), shown);
    EXPECT_EQ(picture.m_currentIndex, 2); // ShowPicture leaves the index alone
    EXPECT_EQ(picture.GetPicture(23), nullptr);
}

TEST_F(Picture, TwentyThreeBitmapListAndReloadReleasesTheOldSet)
{
    UINT english[23], other[23];
    for (int i = 0; i < 23; ++i) {
        english[i] = 175 + i;
        other[i] = 198 + i;
    }
    const int before = CountGdiObjects();
    EXPECT_TRUE(picture.SetPictureList(english, 22));
    EXPECT_EQ(CountGdiObjects(), before + 23);
    EXPECT_EQ(picture.GetBitmap(), picture.GetPicture(22));
    for (int round = 0; round < 20; ++round)
        picture.SetPictureList(round % 2 ? english : other, round % 23);
    EXPECT_EQ(CountGdiObjects(), before + 23);
    for (int i = 0; i < 23; ++i)
        EXPECT_NE(picture.GetPicture(i), nullptr) << i;
}

TEST_F(Picture, TwoStateShowsOnAndOff)
{
    picture.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
    picture.SetState(true);
    EXPECT_TRUE(picture.GetState());
    EXPECT_EQ(picture.GetBitmap(), picture.GetOnBitmap());
    picture.SetState(false);
    EXPECT_EQ(picture.GetBitmap(), picture.GetOffBitmap());
    // Presses go through to the page: the picture has no notify style.
    RECT wr = picture.CWnd::GetWindowRect();
    EXPECT_EQ(::SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 5, wr.top + 5)), HTTRANSPARENT);
}

// A picture control on its own host, after the system's lasting objects for
// painting a picture exist, so a count of GDI objects sees only the control's.
class PictureCount : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.AddChild(L"Static", 1030, SS_BITMAP, 0, 0, 80, 80);
        CMyStaticBmp warm;
        ASSERT_TRUE(warm.SubclassDlgItem(1030, host));
        warm.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
        warm.SetState(true);
        ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    ControlHost host{100, 100, 200, 100};
};

TEST_F(PictureCount, AnOldPictureLeftOnShowByAStartIndexOutsideTheListGoesOnceNotShown)
{
    const UINT room[4] = {258, 259, 260, 258};
    const UINT other[4] = {259, 260, 258, 259};
    const int before = CountGdiObjects();
    {
        CMyStaticBmp picture;
        ASSERT_TRUE(picture.SubclassDlgItem(1030, host));
        picture.SetPictureList(room, 1);
        const HBITMAP old = picture.GetBitmap();
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(CountGdiObjects(), before + 4);

        // Outside the list, both ways: the old picture stays up and alive
        // beside the new list, and only that one is kept.
        for (int start : {23, -1, 1000}) {
            picture.SetPictureList(start == -1 ? room : other, start);
            EXPECT_EQ(picture.m_currentIndex, start);
            EXPECT_EQ(picture.GetBitmap(), old) << start;
            EXPECT_EQ(::GetObjectType(old), static_cast<DWORD>(OBJ_BITMAP)) << start;
            EXPECT_EQ(CountGdiObjects(), before + 4 + 1) << start;
        }
        // Something else on show: the old picture is released.
        picture.ShowPicture(2);
        EXPECT_EQ(picture.GetBitmap(), picture.GetPicture(2));
        EXPECT_EQ(CountGdiObjects(), before + 4);

        // Left on show by a bad index again, then taken over by the state.
        picture.SetPictureList(room, 23);
        EXPECT_EQ(CountGdiObjects(), before + 4 + 1);
        picture.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
        picture.SetState(false);
        EXPECT_EQ(CountGdiObjects(), before + 4 + 2);

        // And once more, with the control ending while it shows the old one.
        picture.SetPictureList(other, 0);
        picture.SetPictureList(room, 99);
        EXPECT_EQ(CountGdiObjects(), before + 4 + 1 + 2);
    }
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(PictureCount, NewStateBitmapsReplaceTheShownPairAndReleaseIt)
{
    const int before = CountGdiObjects();
    {
        CMyStaticBmp picture;
        ASSERT_TRUE(picture.SubclassDlgItem(1030, host));
        // Loading shows nothing by itself.
        EXPECT_TRUE(picture.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN));
        EXPECT_EQ(picture.GetBitmap(), nullptr);
        EXPECT_EQ(CountGdiObjects(), before + 2);
        picture.SetState(true);
        for (int round = 0; round < 5; ++round) {
            const bool swapped = round % 2 == 0;
            EXPECT_TRUE(picture.SetStateBitmaps(swapped ? IDB_LEVER_DOWN : IDB_LEVER_UP,
                                                swapped ? IDB_LEVER_UP : IDB_LEVER_DOWN));
            EXPECT_EQ(picture.GetBitmap(), picture.GetOnBitmap()) << round;
            EXPECT_EQ(CountGdiObjects(), before + 2) << round;
        }
        // A missing bitmap is reported, and its state shows nothing.
        EXPECT_FALSE(picture.SetStateBitmaps(IDB_LEVER_UP, 9990));
        picture.SetState(false);
        EXPECT_EQ(picture.GetBitmap(), nullptr);
        EXPECT_EQ(CountGdiObjects(), before + 1);
    }
    EXPECT_EQ(CountGdiObjects(), before);
}

// Whether two bitmaps hold the same pixels (both null counts as the same).
bool SamePixels(HBITMAP a, HBITMAP b)
{
    auto bits = [](HBITMAP bitmap) {
        BITMAP bm{};
        ::GetObjectW(bitmap, sizeof bm, &bm);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = bm.bmWidth;
        info.bmiHeader.biHeight = bm.bmHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
        HDC dc = ::GetDC(nullptr);
        ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, dc);
        return pixels;
    };
    if (!a || !b)
        return a == b;
    return bits(a) == bits(b);
}

// The same calls given to a picture that loads at once and to one that
// defers its loading: once the deferred one loads, both show the same
// pixels, agree on state and index, and hold as many bitmaps; until then
// the deferred one loads nothing and shows what it showed before.
class DeferredPicture : public ::testing::Test {
protected:
    using Calls = std::function<void(CMyStaticBmp&)>;
    void SetUp() override
    {
        host.AddChild(L"Static", 1030, SS_BITMAP, 0, 0, 80, 80);
        host.AddChild(L"Static", 1031, SS_BITMAP, 0, 0, 80, 80);
        ASSERT_TRUE(now.SubclassDlgItem(1030, host));
        ASSERT_TRUE(later.SubclassDlgItem(1031, host));
    }
    void Compare(const Calls& before, const Calls& deferred)
    {
        before(now);
        before(later);
        const int held = CountGdiObjects();
        const HBITMAP shownBefore = later.GetBitmap();
        later.DeferLoading();
        deferred(later);
        EXPECT_EQ(CountGdiObjects(), held) << "loaded while deferred";
        EXPECT_EQ(later.GetBitmap(), shownBefore) << "showed something new while deferred";
        deferred(now);
        later.LoadDeferred();
        EXPECT_FALSE(later.LoadingDeferred());
        EXPECT_TRUE(SamePixels(later.GetBitmap(), now.GetBitmap()));
        EXPECT_EQ(later.GetState(), now.GetState());
        EXPECT_EQ(later.m_currentIndex, now.m_currentIndex);
        // Each of the two holds the same number of bitmaps.
        const int both = CountGdiObjects();
        now.SetStateBitmaps(9990, 9991);
        now.SetPictureList(kNone, 0);
        const int withoutNow = CountGdiObjects();
        later.SetStateBitmaps(9990, 9991);
        later.SetPictureList(kNone, 0);
        EXPECT_EQ(both - withoutNow, withoutNow - CountGdiObjects());
    }
    static constexpr UINT kNone[4] = {9990, 9990, 9990, 9990};
    static constexpr UINT kRoom[4] = {258, 259, 260, 258};
    static constexpr UINT kOther[4] = {259, 260, 258, 259};
    ControlHost host{100, 100, 200, 100};
    CMyStaticBmp now;
    CMyStaticBmp later;
};

TEST_F(DeferredPicture, StatesAndStateBitmapsAsIfLoadedAtOnce)
{
    auto nothing = [](CMyStaticBmp&) {};
    // The state set before its bitmaps, and after.
    Compare(nothing, [](CMyStaticBmp& p) {
        p.SetState(true);
        p.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
    });
}

TEST_F(DeferredPicture, NewStateBitmapsForAShownStateShowThatState)
{
    Compare(
        [](CMyStaticBmp& p) {
            p.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
            p.SetState(false);
        },
        [](CMyStaticBmp& p) { p.SetStateBitmaps(IDB_LEVER_DOWN, IDB_LEVER_UP); });
}

TEST_F(DeferredPicture, TheLastListAndSlotAsIfLoadedAtOnce)
{
    Compare([](CMyStaticBmp& p) { p.SetPictureList(kRoom, 1); },
            [](CMyStaticBmp& p) {
                p.SetPictureList(kOther, 2);
                p.ShowPicture(0);
                p.ShowPicture(40); // ignored
                p.SetPictureList(kRoom, 3);
            });
}

TEST_F(DeferredPicture, AStartIndexOutsideTheListKeepsWhatWasOnShow)
{
    // A slot of the list loaded before the deferral.
    Compare([](CMyStaticBmp& p) { p.SetPictureList(kRoom, 2); },
            [](CMyStaticBmp& p) { p.SetPictureList(kOther, 23); });
}

TEST_F(DeferredPicture, AStartIndexOutsideTheListKeepsASlotChosenWhileDeferred)
{
    // A slot of a list that itself was never loaded.
    Compare([](CMyStaticBmp& p) { p.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN); },
            [](CMyStaticBmp& p) {
                p.SetPictureList(kRoom, 1);
                p.SetPictureList(kOther, -1);
            });
}

TEST_F(DeferredPicture, AStateShownAfterAListShowsTheState)
{
    Compare([](CMyStaticBmp& p) { p.SetPictureList(kRoom, 0); },
            [](CMyStaticBmp& p) {
                p.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
                p.SetState(true);
            });
}

TEST(DeferredPictures, ThePicturesOfAWindowDeferAndLoadTogether)
{
    ControlHost host{100, 100, 200, 100};
    host.AddChild(L"Static", 1030, SS_BITMAP, 0, 0, 80, 80);
    host.AddChild(L"Static", 1031, SS_BITMAP, 0, 0, 80, 80);
    CMyStaticBmp a, b;
    ASSERT_TRUE(a.SubclassDlgItem(1030, host));
    ASSERT_TRUE(b.SubclassDlgItem(1031, host));
    DeferPictureLoading(host);
    EXPECT_TRUE(a.LoadingDeferred() && b.LoadingDeferred());
    // Whether a bitmap exists is answered without loading it.
    EXPECT_TRUE(a.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN));
    EXPECT_FALSE(b.SetStateBitmaps(IDB_LEVER_UP, 9990));
    a.SetState(true);
    b.SetState(true);
    EXPECT_EQ(a.GetBitmap(), nullptr);
    LoadDeferredPictures(host);
    EXPECT_FALSE(a.LoadingDeferred() || b.LoadingDeferred());
    EXPECT_EQ(a.GetBitmap(), a.GetOnBitmap());
    EXPECT_NE(a.GetBitmap(), nullptr);
    EXPECT_EQ(b.GetBitmap(), b.GetOnBitmap());
}

TEST(PictureLifetime, ReleasesWhatItHolds)
{
    ControlHost host{100, 100, 200, 100};
    host.AddChild(L"Static", 1030, SS_BITMAP, 0, 0, 80, 80);
    {
        // Warm-up: the first paint of a picture creates the system's own
        // lasting objects, which are not the control's.
        CMyStaticBmp warm;
        ASSERT_TRUE(warm.SubclassDlgItem(1030, host));
        warm.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
        warm.SetState(true);
        ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    const int before = CountGdiObjects();
    {
        CMyStaticBmp picture;
        ASSERT_TRUE(picture.SubclassDlgItem(1030, host));
        picture.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
        picture.SetState(true);
        const UINT room[4] = {258, 259, 260, 258};
        picture.SetPictureList(room, 0);
        EXPECT_GE(CountGdiObjects(), before + 5); // the five bitmaps it holds
        // A missing bitmap is a null slot: showing it shows nothing.
        const UINT missing[4] = {9990, 259, 260, 9990};
        picture.SetPictureList(missing, 0);
        EXPECT_EQ(picture.GetBitmap(), nullptr);
    }
    EXPECT_EQ(CountGdiObjects(), before);
}

} // namespace
