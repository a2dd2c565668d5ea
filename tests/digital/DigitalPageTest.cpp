// The Digital page: the stored DigitalOutSr shown and sent to the card at
// start, the output switch and the rate selector's quadrants, the page column
// and the language switch, with real messages on a real page.
#include "DlgDigital.h"
#include "PageHarness.h"
#include "PanelMessages.h"
#include "SettingsStore.h"
#include "SimCardControl.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pagetests;
using testsupport::RegistrySnapshot;

namespace {

const std::wstring kVantirKey = L"Software\\Marvolin\\VANTIR";
const std::wstring kDigitalKey = kVantirKey + L"\\Digital";

class DigitalPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimCard_Reset();
        testsupport::CreateKey(kDigitalKey);
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kDigitalKey.c_str(), L"DigitalOutSr");
    }

    // Creates the page as the main dialog does, with the store as it is now.
    // Creates the page as the main dialog does: hidden, unless the test
    // presses on it (only a visible window can be moved by a press), its
    // skin and pictures prepared as once the panel is in the tray.
    void Open(bool visible = false)
    {
        page = std::make_unique<CDlgDigital>();
        ASSERT_TRUE(page->Create(CDlgDigital::IDD, owner.hwnd()));
        page->SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (visible)
            page->ShowWindow(SW_SHOWNA);
        else
            page->BuildPendingSkin();
        testsupport::PumpMessages();
    }

    void Store(const std::wstring& value) { testsupport::SetText(kDigitalKey, L"DigitalOutSr", value); }
    std::wstring Stored()
    {
        std::wstring value;
        return testsupport::GetText(kDigitalKey, L"DigitalOutSr", &value) ? value : L"<missing>";
    }

    void ExpectShows(bool on, int index)
    {
        EXPECT_EQ(page->OutputSwitch().GetState(), on);
        EXPECT_EQ(page->SwitchLamp().GetState(), on);
        EXPECT_EQ(page->SelectorLamp().GetState(), on);
        EXPECT_EQ(page->OutputSwitch().GetBitmap(),
                  on ? page->OutputSwitch().GetOnBitmap() : page->OutputSwitch().GetOffBitmap());
        EXPECT_EQ(page->RateSelector().m_currentIndex, index);
        EXPECT_EQ(page->RateSelector().GetBitmap(), page->RateSelector().GetPicture(index));
    }

    POINT SwitchPoint() { return ChildCentre(page->m_hWnd, IDC_DIGITAL_OUT_SWITCH); }
    RECT Selector() { return ChildRect(page->m_hWnd, IDC_DIGITAL_RATE_SELECTOR); }
    bool Press(POINT p) { return PressOnPage(page->m_hWnd, p.x, p.y); }

    static CardCall Spdif(int32_t status) { return CardCall{"CMSUP_SetSpdifStatus", {status}}; }

    RegistrySnapshot snapshot{kVantirKey};
    OwnerWindow owner;
    std::unique_ptr<CDlgDigital> page;
};

TEST_F(DigitalPageTest, WithoutStoredValueStartsOffAndSendsStatusZero)
{
    Open();
    ExpectShows(false, 0);
    EXPECT_EQ(CardJournalWithout("CMSUP_GetInterface"), std::vector<CardCall>{Spdif(0)})
        << Describe(CardJournal());
    EXPECT_EQ(CardJournal().front().op, "CMSUP_GetInterface");
}

TEST_F(DigitalPageTest, StoredValuesShowTheirPositionAndSendTheirStatus)
{
    const struct {
        const wchar_t* stored;
        bool on;
        int index;
        int32_t status;
    } cases[] = {{L"1", true, 0, 2}, {L"2", true, 1, 1}, {L"3", true, 2, 0x40}, {L"4", true, 3, 0x80}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << std::string(c.stored, c.stored + 1));
        SimCard_JournalClear();
        Store(c.stored);
        Open();
        ExpectShows(c.on, c.index);
        EXPECT_EQ(CardJournalWithout("CMSUP_GetInterface"), std::vector<CardCall>{Spdif(c.status)});
        int32_t cardStatus = -1;
        SimCard_Get("spdifStatus", &cardStatus);
        EXPECT_EQ(cardStatus, c.status);
    }
}

TEST_F(DigitalPageTest, StoredValuesOutsideTheTableAreIgnored)
{
    for (const wchar_t* stored : {L"5", L"-1", L"99"}) {
        SimCard_JournalClear();
        Store(stored);
        Open();
        ExpectShows(false, 0);
        EXPECT_TRUE(CardJournalWithout("CMSUP_GetInterface").empty()) << Describe(CardJournal());
    }
}

TEST_F(DigitalPageTest, SwitchingOffAndOnAgainStartsAtTheLowerLeft)
{
    Store(L"4");
    Open(true);
    SimCard_JournalClear();

    EXPECT_FALSE(Press(SwitchPoint())) << "a press on the switch must not move the window";
    EXPECT_EQ(Stored(), L"0");
    ExpectShows(false, 0);
    EXPECT_EQ(CardJournal(), std::vector<CardCall>{Spdif(0)}) << Describe(CardJournal());

    SimCard_JournalClear();
    Press(SwitchPoint());
    EXPECT_EQ(Stored(), L"1");
    ExpectShows(true, 0);
    EXPECT_EQ(CardJournal(), std::vector<CardCall>{Spdif(2)}) << Describe(CardJournal());
}

TEST_F(DigitalPageTest, SelectorQuadrantsChooseTheFourPositions)
{
    Store(L"1");
    Open(true);
    const RECT sel = Selector();
    const int cx = sel.left + (sel.right - sel.left) / 2;
    const int cy = sel.top + (sel.bottom - sel.top) / 2;
    const struct {
        POINT at;
        const wchar_t* stored;
        int index;
        int32_t status;
    } cases[] = {
        {{cx - 3, cy - 3}, L"2", 1, 1},    // upper left
        {{cx + 3, cy - 3}, L"3", 2, 0x40}, // upper right
        {{cx + 3, cy + 3}, L"4", 3, 0x80}, // lower right
        {{sel.left, sel.bottom - 1}, L"1", 0, 2},
    };
    for (const auto& c : cases) {
        SimCard_JournalClear();
        EXPECT_FALSE(Press(c.at));
        EXPECT_EQ(Stored(), c.stored);
        ExpectShows(true, c.index);
        EXPECT_EQ(CardJournal(), std::vector<CardCall>{Spdif(c.status)}) << Describe(CardJournal());
    }
}

TEST_F(DigitalPageTest, CentreLinesAndAnOffSelectorChooseNothing)
{
    Store(L"3");
    Open(true);
    const RECT sel = Selector();
    const int cx = sel.left + (sel.right - sel.left) / 2;
    const int cy = sel.top + (sel.bottom - sel.top) / 2;
    SimCard_JournalClear();
    for (POINT p : {POINT{cx, sel.top + 1}, POINT{cx, sel.bottom - 2}, POINT{sel.left + 1, cy}, POINT{cx, cy}}) {
        EXPECT_FALSE(Press(p)) << "a press on the selector never moves the window";
        EXPECT_EQ(Stored(), L"3");
    }
    ExpectShows(true, 2);
    EXPECT_TRUE(CardJournal().empty()) << Describe(CardJournal());

    // Output off: the selector does nothing at all.
    Store(L"0");
    Open();
    SimCard_JournalClear();
    EXPECT_FALSE(Press(POINT{cx + 3, cy - 3}));
    EXPECT_EQ(Stored(), L"0");
    ExpectShows(false, 0);
    EXPECT_TRUE(CardJournal().empty()) << Describe(CardJournal());
}

TEST_F(DigitalPageTest, WithoutTheDigitalSubkeyAClickIsNotKept)
{
    testsupport::DeleteTree(kDigitalKey);
    Open();
    SimCard_JournalClear();
    Press(SwitchPoint());
    EXPECT_FALSE(testsupport::KeyExists(kDigitalKey)) << "the page never creates the installer's subkey";
    ExpectShows(false, 0);
    EXPECT_EQ(CardJournal(), std::vector<CardCall>{Spdif(0)}) << Describe(CardJournal());
}

TEST_F(DigitalPageTest, PressOutsideTheHitAreasMovesTheWindow)
{
    Open(true);
    SimCard_JournalClear();
    EXPECT_TRUE(Press(POINT{300, 280}));
    EXPECT_TRUE(CardJournal().empty());
    EXPECT_EQ(Stored(), L"<missing>");
}

TEST_F(DigitalPageTest, LanguageSwitchChangesTheBackgroundOnly)
{
    Store(L"2");
    Open();
    SimCard_JournalClear();
    EXPECT_EQ(page->GetBackgroundId(), 131u);
    EXPECT_EQ(page->SendMessage(WM_SET_LANGUAGE, 0, 2), 0);
    EXPECT_EQ(page->GetBackgroundId(), 129u);
    page->SendMessage(WM_SET_LANGUAGE, 0, 1);
    EXPECT_EQ(page->GetBackgroundId(), 130u);
    page->SendMessage(WM_SET_LANGUAGE, 0, 7);
    EXPECT_EQ(page->GetBackgroundId(), 130u);
    EXPECT_EQ(page->GetSkinWidth(), 800);
    EXPECT_EQ(page->GetSkinHeight(), 313);
    ExpectShows(true, 1);
    EXPECT_TRUE(CardJournal().empty());
}

TEST_F(DigitalPageTest, KeysNeverReachThePage)
{
    Open(true);
    for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB}) {
        SendKeyThroughLoop(page->m_hWnd, vk);
        SendKeyThroughLoop(page->GetDlgItem(IDC_DIGITAL_TO_HIFI), vk);
    }
    testsupport::PumpMessages();
    EXPECT_TRUE(page->IsWindowVisible());
    EXPECT_TRUE(owner.requests().empty());
}

} // namespace
