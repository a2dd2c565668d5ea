// The Hp page: the card read once at start (crossover clamped for display,
// states 0 and 1 only), the switches and the lamp changing the card at once,
// the crossover slider's drags, the key filter and the language switch.
#include "DlgHp.h"
#include "PageHarness.h"
#include "PanelMessages.h"
#include "SimCardControl.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pagetests;

namespace {

class HpPageTest : public ::testing::Test {
protected:
    void SetUp() override { SimCard_Reset(); }

    // Creates the page as the main dialog does: hidden, unless the test
    // presses on it (only a visible window can be moved by a press), its
    // skin and pictures prepared as once the panel is in the tray.
    void Open(bool visible = false)
    {
        page = std::make_unique<CDlgHp>();
        ASSERT_TRUE(page->Create(CDlgHp::IDD, owner.hwnd()));
        page->SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (visible)
            page->ShowWindow(SW_SHOWNA);
        else
            page->BuildPendingSkin();
        testsupport::PumpMessages();
    }

    // Drags the crossover thumb from its place to slider x and releases it.
    void DragCrossoverTo(int x)
    {
        CBitmapSlider& slider = page->CrossoverSlider();
        const int from = slider.PositionToPixel(slider.GetPos());
        slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, 7));
        slider.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(x), 7));
        slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), 7));
        testsupport::PumpMessages();
    }

    bool Press(int id) { return PressAt(ChildCentre(page->m_hWnd, id)); }
    bool PressAt(POINT p) { return PressOnPage(page->m_hWnd, p.x, p.y); }

    static HBITMAP Shown(CMyStaticBmp& picture) { return picture.GetBitmap(); }

    pagetests::OwnerWindow owner;
    std::unique_ptr<CDlgHp> page;
};

TEST_F(HpPageTest, ReadsTheCardOnceInOrder)
{
    SimCard_Set("flexBass", 0);
    SimCard_Set("largeSpeakers", 1);
    SimCard_Set("impedanceMode", 0);
    SimCard_Set("crossover", 120);
    Open();
    const std::vector<CardCall> expected = {
        {"CMSUP_GetInterface", {}},
        {"CMSUP_GetFlexBassState", {0}},
        {"CMSUP_GetLargeSpeakers", {0, 1}},
        {"CMSUP_GetImpedanceMode", {0}},
        {"CMSUP_GetCrossOverFrequency", {120}},
    };
    std::vector<CardCall> journal = CardJournal();
    ASSERT_FALSE(journal.empty());
    journal.front().args.clear(); // the handle slot it fills is the library's business
    EXPECT_EQ(journal, expected) << Describe(CardJournal());

    EXPECT_FALSE(page->FlexBassLamp().GetState());
    EXPECT_TRUE(page->SpeakerSizeSwitch().GetState());
    EXPECT_FALSE(page->ImpedanceSwitch().GetState());
    EXPECT_EQ(Shown(page->FlexBassLamp()), page->FlexBassLamp().GetOffBitmap());
    EXPECT_EQ(Shown(page->ImpedanceSwitch()), page->ImpedanceSwitch().GetOffBitmap());
    EXPECT_EQ(page->CrossoverSlider().GetPos(), 120);
    EXPECT_EQ(page->GetCrossover(), 120u);
    // The slider sits at its place with exactly its channel's size.
    const RECT slot = ChildRect(page->m_hWnd, IDC_HP_CROSSOVER);
    EXPECT_EQ(slot.left, 108);
    EXPECT_EQ(slot.top, 150);
    EXPECT_EQ(slot.right - slot.left, 202);
    EXPECT_EQ(slot.bottom - slot.top, 13);

    // Showing, hiding and re-skinning never read the card again.
    SimCard_JournalClear();
    page->ShowWindow(SW_HIDE);
    page->ShowWindow(SW_SHOWNA);
    page->SendMessage(WM_SET_LANGUAGE, 0, 2);
    testsupport::PumpMessages();
    EXPECT_TRUE(CardJournal().empty()) << Describe(CardJournal());
}

TEST_F(HpPageTest, NullInterfaceSkipsOnlyTheFlexBassRead)
{
    SimCard_Set("nullInterface", 1);
    SimCard_Set("flexBass", 0);
    Open();
    std::vector<std::string> ops;
    for (const CardCall& c : CardJournal())
        ops.push_back(c.op);
    EXPECT_EQ(ops, (std::vector<std::string>{"CMSUP_GetInterface", "CMSUP_GetLargeSpeakers", "CMSUP_GetImpedanceMode",
                                             "CMSUP_GetCrossOverFrequency"}));
    EXPECT_TRUE(page->FlexBassLamp().GetState()) << "an unread lamp stays in state 1";
}

TEST_F(HpPageTest, CardValuesOtherThanZeroAndOneLeaveStateOne)
{
    SimCard_Set("impedanceMode", 2);
    SimCard_Set("largeSpeakers", -1);
    SimCard_Set("flexBass", 7);
    Open();
    EXPECT_TRUE(page->ImpedanceSwitch().GetState());
    EXPECT_TRUE(page->SpeakerSizeSwitch().GetState());
    EXPECT_TRUE(page->FlexBassLamp().GetState());
    EXPECT_EQ(Shown(page->ImpedanceSwitch()), page->ImpedanceSwitch().GetOnBitmap());
    EXPECT_EQ(Shown(page->FlexBassLamp()), page->FlexBassLamp().GetOnBitmap());
}

TEST_F(HpPageTest, CrossoverOutsideTheScaleIsShownClampedAndNotSent)
{
    const struct {
        int32_t card;
        int32_t shown;
    } cases[] = {{30, 50}, {0, 50}, {50, 50}, {250, 250}, {300, 250}, {-5, 250}, {INT32_MIN, 250}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "card reports " << c.card);
        SimCard_Reset();
        SimCard_Set("crossover", c.card);
        Open();
        EXPECT_EQ(page->CrossoverSlider().GetPos(), c.shown);
        EXPECT_EQ(page->GetCrossover(), static_cast<uint32_t>(c.shown));
        EXPECT_TRUE(CardJournalWithout("CMSUP_GetCrossOverFrequency").size() == CardJournal().size() - 1);
        for (const CardCall& call : CardJournal())
            EXPECT_NE(call.op, "CMSUP_SetCrossOverFrequency");
        int32_t onCard = 0;
        SimCard_Get("crossover", &onCard);
        EXPECT_EQ(onCard, c.card) << "the clamped value is not written back";
    }
}

TEST_F(HpPageTest, DraggingTheCrossoverSendsEveryPositionDownToZero)
{
    SimCard_Set("crossover", 30);
    Open();
    SimCard_JournalClear();
    DragCrossoverTo(-40); // beyond the left end
    EXPECT_EQ(page->CrossoverSlider().GetPos(), 0);
    EXPECT_EQ(page->GetCrossover(), 0u);
    std::vector<CardCall> sets = CardJournal();
    ASSERT_FALSE(sets.empty());
    EXPECT_EQ(sets.back(), (CardCall{"CMSUP_SetCrossOverFrequency", {0}})) << Describe(sets);
    for (const CardCall& c : sets)
        EXPECT_EQ(c.op, "CMSUP_SetCrossOverFrequency");

    SimCard_JournalClear();
    CBitmapSlider& slider = page->CrossoverSlider();
    DragCrossoverTo(slider.PositionToPixel(200));
    EXPECT_EQ(page->GetCrossover(), static_cast<uint32_t>(slider.GetPos()));
    EXPECT_EQ(CardJournal().back(), (CardCall{"CMSUP_SetCrossOverFrequency", {slider.GetPos()}}));
    EXPECT_NEAR(slider.GetPos(), 200, 2);

    // Tracking messages of other sliders are not the page's business.
    SimCard_JournalClear();
    page->SendMessage(WM_SLIDER_TRACK, 1047, 10);
    page->SendMessage(WM_SLIDER_SETTLED, IDC_HP_CROSSOVER, 10);
    EXPECT_TRUE(CardJournal().empty());
}

TEST_F(HpPageTest, PressOnTheSpeakerSwitchChangesTheCardThenMovesTheWindow)
{
    SimCard_Set("largeSpeakers", 0);
    Open(true);
    ASSERT_FALSE(page->SpeakerSizeSwitch().GetState());
    EXPECT_EQ(Shown(page->SpeakerSizeSwitch()), page->SpeakerSizeSwitch().GetOffBitmap());
    SimCard_JournalClear();

    EXPECT_TRUE(Press(IDC_HP_SPEAKER_SIZE)) << "the press goes on into the window move";
    EXPECT_TRUE(page->SpeakerSizeSwitch().GetState());
    EXPECT_EQ(Shown(page->SpeakerSizeSwitch()), page->SpeakerSizeSwitch().GetOnBitmap());
    EXPECT_EQ(CardJournal(), (std::vector<CardCall>{{"CMSUP_SetLargeSpeakers", {0, 1}}})) << Describe(CardJournal());
    int32_t large = -1;
    SimCard_Get("largeSpeakers", &large);
    EXPECT_EQ(large, 1);
}

TEST_F(HpPageTest, ImpedanceAndFlexBassPressesFlipAndSend)
{
    SimCard_Set("impedanceMode", 1);
    SimCard_Set("flexBass", 1);
    Open(true);
    SimCard_JournalClear();
    Press(IDC_HP_IMPEDANCE);
    Press(IDC_HP_FLEX_BASS);
    Press(IDC_HP_FLEX_BASS);
    EXPECT_FALSE(page->ImpedanceSwitch().GetState());
    EXPECT_TRUE(page->FlexBassLamp().GetState());
    EXPECT_EQ(CardJournal(), (std::vector<CardCall>{{"CMSUP_SetImpedanceMode", {0}},
                                                    {"CMSUP_SetFlexBassState", {0}},
                                                    {"CMSUP_SetFlexBassState", {1}}}))
        << Describe(CardJournal());
}

TEST_F(HpPageTest, PressElsewhereOnlyMovesTheWindow)
{
    Open(true);
    SimCard_JournalClear();
    // Beside the lever (right edge excluded), on the background, on the slider row.
    const RECT lever = ChildRect(page->m_hWnd, IDC_HP_SPEAKER_SIZE);
    EXPECT_TRUE(PressAt(POINT{lever.right, lever.top}));
    EXPECT_TRUE(PressAt(POINT{lever.left, lever.bottom}));
    EXPECT_TRUE(PressAt(POINT{300, 40}));
    EXPECT_TRUE(CardJournal().empty()) << Describe(CardJournal());
}

TEST_F(HpPageTest, KeysMoveNeitherTheSliderNorThePage)
{
    SimCard_Set("crossover", 120);
    Open(true);
    SimCard_JournalClear();
    HWND slider = page->CrossoverSlider().m_hWnd;
    ::SetFocus(slider);
    for (UINT vk : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_RETURN, VK_ESCAPE}) {
        SendKeyThroughLoop(slider, vk);
        SendKeyThroughLoop(page->m_hWnd, vk);
    }
    testsupport::PumpMessages();
    EXPECT_EQ(page->CrossoverSlider().GetPos(), 120);
    EXPECT_TRUE(page->IsWindowVisible());
    EXPECT_TRUE(CardJournal().empty());

    // The same key sent straight to the slider does move it: the filter is what stops it.
    page->CrossoverSlider().SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(page->CrossoverSlider().GetPos(), 121);
}

TEST_F(HpPageTest, LanguageChangesTheBackgroundForKnownNumbersOnly)
{
    Open();
    EXPECT_EQ(page->GetBackgroundId(), 325u);
    page->SendMessage(WM_SET_LANGUAGE, 0, 0);
    EXPECT_EQ(page->GetBackgroundId(), 326u);
    page->SendMessage(WM_SET_LANGUAGE, 0, 2);
    EXPECT_EQ(page->GetBackgroundId(), 324u);
    page->SendMessage(WM_SET_LANGUAGE, 0, 3);
    EXPECT_EQ(page->GetBackgroundId(), 324u);
}

} // namespace
