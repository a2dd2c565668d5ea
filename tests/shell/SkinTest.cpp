// A page's skin on a real dialog window with the program's own backgrounds:
// size and shape follow the bitmap, erase paints the off-screen copy, a
// re-skin frees the previous skin, and controls land at page pixels.
#include "SkinnedPage.h"
#include "ResourceBitmap.h"
#include "TestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using namespace std::chrono_literals;

// A background bitmap of the program, its pixels readable through a memory DC.
class Picture {
public:
    explicit Picture(UINT id)
        : m_bitmap(LoadSkinBitmap(id)),
          m_dc(::CreateCompatibleDC(nullptr)), m_select(m_dc.get(), m_bitmap.get())
    {
    }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc.get(), x, y); }
    HBITMAP Handle() const { return m_bitmap.get(); }

private:
    fw::UniqueBitmap m_bitmap;
    fw::UniqueMemDC m_dc;
    fw::ScopedSelect m_select;
};

class Skin : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_page = std::make_unique<CSkinnedPage>(IDD_DLG_DIGITAL);
        ASSERT_TRUE(m_page->Create(IDD_DLG_DIGITAL, nullptr));
    }
    void TearDown() override
    {
        m_page.reset();
        testsupport::PumpMessages(10ms);
    }
    void Apply(UINT id)
    {
        m_page->SetBackgroundId(id);
        ApplySkin(*m_page);
    }
    std::unique_ptr<CSkinnedPage> m_page;
};

TEST_F(Skin, WindowTakesTheBitmapsSizeAndAShapeThatFollowsItsBluePixels)
{
    for (UINT id : {IDB_MAIN_BG_EN, IDB_HIFI_BG_TC}) {
        Apply(id);
        BITMAP bm{};
        Picture picture(id);
        ASSERT_TRUE(::GetObjectW(picture.Handle(), sizeof bm, &bm));
        RECT rc = m_page->GetWindowRect();
        EXPECT_EQ(rc.right - rc.left, bm.bmWidth);
        EXPECT_EQ(rc.bottom - rc.top, bm.bmHeight);
        EXPECT_EQ(m_page->GetSkinWidth(), bm.bmWidth);
        EXPECT_EQ(m_page->GetSkinHeight(), bm.bmHeight);

        fw::UniqueRgn region(::CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(::GetWindowRgn(m_page->m_hWnd, region.get()), ERROR);
        // Sample the picture on a grid: inside the shape exactly where the
        // bitmap is not pure blue.
        int blue = 0;
        for (int y = 0; y < bm.bmHeight; y += 7) {
            for (int x = 0; x < bm.bmWidth; x += 13) {
                bool seeThrough = picture.Pixel(x, y) == RGB(0, 0, 255);
                blue += seeThrough;
                EXPECT_EQ(::PtInRegion(region.get(), x, y) != FALSE, !seeThrough) << id << " at " << x << "," << y;
            }
        }
        EXPECT_GT(blue, 0) << "background " << id << " has no see-through outline";
    }
}

TEST(SkinShape, ABackgroundReadInPlaceGivesTheShapeOfItsCopy)
{
    // The backgrounds' own sections, at 1x and from the larger sets, against
    // the scan of a copy (which knows which way the rows run).
    for (UINT dpi : {96u, 144u, 192u}) {
        for (UINT id : {IDB_MAIN_BG_EN, IDB_HIFI_BG_TC, IDB_HP_BG_SC}) {
            fw::UniqueBitmap bitmap(LoadSkinBitmap(id, BitmapKind::DibSection, dpi));
            ASSERT_TRUE(bitmap);
            const RegionRects want = BuildRegionFromBitmap(bitmap.get());
            const RegionRects got = BuildRegionFromSkinBitmap(bitmap.get());
            ASSERT_TRUE(got.supported);
            ASSERT_EQ(got.rects.size(), want.rects.size()) << id << " at " << dpi;
            EXPECT_EQ(std::memcmp(got.rects.data(), want.rects.data(), got.rects.size() * sizeof(RECT)), 0)
                << id << " at " << dpi;
        }
    }
    // A bitmap of the screen's kind is copied and scanned as before.
    fw::UniqueBitmap device(LoadSkinBitmap(IDB_MAIN_BG_EN, BitmapKind::Device));
    EXPECT_EQ(BuildRegionFromSkinBitmap(device.get()).rects.size(),
              BuildRegionFromBitmap(device.get()).rects.size());
}

TEST_F(Skin, EraseCopiesTheOffscreenBackground)
{
    Apply(IDB_INFO_BG_SC);
    const int w = m_page->GetSkinWidth(), h = m_page->GetSkinHeight();
    HDC screen = ::GetDC(nullptr);
    fw::UniqueBitmap target(::CreateCompatibleBitmap(screen, w, h));
    ::ReleaseDC(nullptr, screen);
    fw::UniqueMemDC mem(::CreateCompatibleDC(nullptr));
    fw::ScopedSelect select(mem.get(), target.get());
    ::PatBlt(mem.get(), 0, 0, w, h, WHITENESS);

    EXPECT_EQ(m_page->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.get())), TRUE);
    Picture picture(IDB_INFO_BG_SC);
    for (POINT p : {POINT{0, 0}, POINT{400, 150}, POINT{w - 1, h - 1}, POINT{123, 45}, POINT{760, 30}})
        EXPECT_EQ(::GetPixel(mem.get(), p.x, p.y), picture.Pixel(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(Skin, ReskinReusesOrFreesThePreviousSkinAndAMissingBitmapKeepsTheCurrentOne)
{
    Apply(IDB_MAIN_BG_TC);
    HDC firstDc = m_page->GetOffscreenDC();
    HGDIOBJ firstBitmap = ::GetCurrentObject(firstDc, OBJ_BITMAP);
    ASSERT_EQ(::GetObjectType(firstDc), static_cast<DWORD>(OBJ_MEMDC));
    ASSERT_EQ(::GetObjectType(firstBitmap), static_cast<DWORD>(OBJ_BITMAP));

    // Every language change re-skins; a background of the same size goes into
    // the bitmap on show, which then shows it pixel for pixel.
    for (int i = 0; i < 30; ++i)
        Apply(i % 2 ? IDB_MAIN_BG_EN : IDB_MAIN_BG_SC);
    EXPECT_EQ(m_page->GetOffscreenDC(), firstDc);
    EXPECT_EQ(::GetCurrentObject(firstDc, OBJ_BITMAP), firstBitmap);
    Picture english(IDB_MAIN_BG_EN);
    for (POINT p : {POINT{0, 0}, POINT{400, 150}, POINT{799, 312}, POINT{123, 45}, POINT{760, 30}, POINT{60, 200}})
        EXPECT_EQ(::GetPixel(firstDc, p.x, p.y), english.Pixel(p.x, p.y)) << p.x << "," << p.y;

    // One of another size builds a new skin and releases the old one.
    Apply(IDB_HIFI_BG_EN);
    EXPECT_EQ(::GetObjectType(firstBitmap), 0u) << "first background never deleted";
    EXPECT_EQ(m_page->GetSkinHeight(), 546);

    HDC currentDc = m_page->GetOffscreenDC();
    HGDIOBJ currentBitmap = ::GetCurrentObject(currentDc, OBJ_BITMAP);
    Apply(9999); // no such bitmap
    EXPECT_EQ(m_page->GetOffscreenDC(), currentDc);
    EXPECT_EQ(::GetObjectType(currentBitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(m_page->GetSkinWidth(), 800);

    m_page.reset();
    EXPECT_EQ(::GetObjectType(currentBitmap), 0u) << "background kept after the page was destroyed";
}

TEST_F(Skin, PlaceControlPutsTheTopLeftAtPagePixelsAndKeepsTheSize)
{
    Apply(IDB_DIGITAL_BG_EN);
    m_page->SetWindowPos(nullptr, 37, 58, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 1, 1, 23, 17, m_page->m_hWnd, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    PlaceControl(*m_page, child, 704, 210);
    RECT page = m_page->GetWindowRect(), rc{};
    ::GetWindowRect(child, &rc);
    EXPECT_EQ(rc.left - page.left, 704);
    EXPECT_EQ(rc.top - page.top, 210);
    EXPECT_EQ(rc.right - rc.left, 23);
    EXPECT_EQ(rc.bottom - rc.top, 17);
    PlaceControl(*m_page, nullptr, 1, 1); // no control: nothing happens
}

} // namespace
