// The Hifi page as the user drives it: real windows and messages, the test
// prefix's registry and the simulated card's journal.
#include "HifiTestSupport.h"

#include "PanelMessages.h"
#include "SettingsStore.h"
#include "SimCardControl.h"

#include <commctrl.h>

using namespace hifitest;
using hifi::GainArray;

namespace {
const Call kEqOff{"CMSUP_SetEQStatus", {0}};
const Call kEqOn{"CMSUP_SetEQStatus", {1}};
Call Room(int size) { return {"CMSUP_SetRoomSize", {size}}; }
Call Env(int code) { return {"CMSUP_SetEnvMode", {code}}; }
Call Mode(int preset) { return {"CMSUP_SetEQMode", {preset}}; }
const GainArray kFlat{};
const UINT kGroupSwitches[4] = {IDC_HIFI_BASSTREBLE_SWITCH, IDC_HIFI_REGION_SWITCH, IDC_HIFI_PRESET_SWITCH,
                                IDC_HIFI_EQ_SWITCH};

GainArray StoredPageCurve()
{
    GainArray gains{};
    for (int i = 0; i < model::kBandCount; ++i)
        gains[static_cast<size_t>(i)] = ReadRegInt(kRegRoot, L"Hifi", L"eq_" + std::to_wstring(i));
    return gains;
}
} // namespace

// ---------------------------------------------------------------------------
// Start-up

TEST_F(HifiPageTest, StartupReappliesTheStoredEqualizerPage)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    Set(L"eq_3", L"1310720"); // +20 dB cannot be shown: loads as the top
    Set(L"eq_7", L"-327680");
    Set(L"RoomSize", L"1");
    Set(L"RoomEnable", L"1");
    Set(L"ENVEnable", L"1");
    Set(L"Environment", L"5");
    CreatePage(true);

    EXPECT_EQ(m_page->BandSlider(3).GetPos(), -1310680);
    EXPECT_EQ(m_page->BandSlider(7).GetPos(), 327680);
    const std::vector<Call> expected = {
        {"CMSUP_GetInterface", {}}, kEqOn, Room(1), Env(7),
        GainCall({0, 0, 0, 1310680, 0, 0, 0, -327680, 0, 0})};
    EXPECT_EQ(Journal(), expected);
    EXPECT_TRUE(State(IDC_HIFI_MASTER));
    EXPECT_TRUE(State(IDC_HIFI_POWER_LIGHT));
    EXPECT_TRUE(State(IDC_HIFI_EQ_SWITCH));
    EXPECT_TRUE(State(IDC_HIFI_CUSTOM_LIGHT));
    EXPECT_TRUE(State(IDC_HIFI_ROOM_SWITCH));
    EXPECT_TRUE(State(IDC_HIFI_ENV_SWITCH));
    EXPECT_FALSE(State(IDC_HIFI_BASSTREBLE_SWITCH));
    EXPECT_EQ(m_page->Picture(IDC_HIFI_ROOM_SELECTOR)->m_currentIndex, 1);
    EXPECT_EQ(m_page->Picture(IDC_HIFI_ENV_DISPLAY)->m_currentIndex, 5);
    EXPECT_TRUE(m_page->PresetList().IsWindowEnabled());
}

TEST_F(HifiPageTest, StartupWithoutKnobValuesSendsMinusTwentyDecibels)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"0");
    CreatePage(true);
    const int32_t m20 = -1310720;
    const std::vector<Call> expected = {{"CMSUP_GetInterface", {}}, kEqOn,
                                        GainCall({m20, m20, m20, m20, 0, 0, 0, m20, m20, m20}),
                                        Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
    EXPECT_TRUE(State(IDC_HIFI_BASSTREBLE_SWITCH));
    // Tone group 0 at start-up: the user-preset controls are off.
    for (UINT id : {IDC_HIFI_PRESET_LIST, IDC_HIFI_PRESET_NAME, IDC_HIFI_PRESET_SAVE, IDC_HIFI_PRESET_DELETE})
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_page->m_hWnd, id))) << id;
}

TEST_F(HifiPageTest, StartupChoosesTheFlaggedUserPreset)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    Set(L"Customize", L"1");
    Set(L"eq_0", L"65536");
    const GainArray vocal{0, 0, 0, 0, 131072, 196608, 131072, 0, 0, 0};
    SavePreset(L"Bass boost", {262144, 262144, 0, 0, 0, 0, 0, 0, 0, 0}, 0);
    SavePreset(L"Vocal", vocal, 1);
    CreatePage(true);

    EXPECT_EQ(m_page->PresetList().GetWindowText(), L"Vocal");
    const std::vector<Call> expected = {{"CMSUP_GetInterface", {}}, kEqOn, Room(0), Env(28),
                                        GainCall({65536, 0, 0, 0, 0, 0, 0, 0, 0, 0}), GainCall(vocal)};
    EXPECT_EQ(Journal(), expected);
    EXPECT_EQ(m_page->BandSlider(5).GetPos(), -196608);
    std::wstring flag;
    ASSERT_TRUE(testsupport::GetText(kCustomKey + L"\\Bass boost", L"flag", &flag));
    EXPECT_EQ(flag, L"0");
    // The page's own curve is left for the next band move.
    EXPECT_EQ(Get(L"eq_0"), L"65536");
}

TEST_F(HifiPageTest, StartupTakesStoredIndexesOverTheIniOnes)
{
    Set(L"RoomSize", L"2");
    Set(L"Environment", L"30"); // outside the list: the picture stays, nothing is sent
    Set(L"ENVEnable", L"1");
    CreatePage(true);
    EXPECT_EQ(m_page->Picture(IDC_HIFI_ROOM_SELECTOR)->m_currentIndex, 2);
    EXPECT_EQ(m_page->Picture(IDC_HIFI_ENV_DISPLAY)->m_currentIndex, 30);
    // Master off (the empty store): equalizer off, environment off, room sent.
    const std::vector<Call> expected = {{"CMSUP_GetInterface", {}}, kEqOff, Room(2), Env(28)};
    EXPECT_EQ(Journal(), expected);
}

TEST_F(HifiPageTest, ControlsSitAtTheirPlacesWithTheSizesOfTheirBitmaps)
{
    CreatePage();
    const struct {
        UINT id;
        RECT rc;
    } rows[] = {
        {IDC_HIFI_MASTER, {50, 41, 85, 62}},          {IDC_HIFI_POWER_LIGHT, {35, 46, 46, 57}},
        {IDC_HIFI_REGION_4, {194, 223, 233, 244}},    {IDC_HIFI_CELL_DANCE, {480, 150, 519, 171}},
        {IDC_HIFI_CELL_TREBLE, {386, 150, 425, 171}}, {IDC_HIFI_CELL_VOCAL, {570, 172, 609, 193}},
        {IDC_HIFI_BAND_RESET, {378, 276, 426, 297}},  {IDC_HIFI_PRESET_SAVE, {586, 201, 609, 222}},
        {IDC_HIFI_ROOM_SELECTOR, {590, 280, 669, 359}}, {IDC_HIFI_ENV_DISPLAY, {475, 403, 621, 468}},
        {IDC_HIFI_ENV_NEXT, {631, 436, 654, 457}},    {IDC_HIFI_TO_INFO, {690, 300, 763, 333}},
        // The name box is as large as its face.
        {IDC_HIFI_PRESET_NAME, {473, 228, 573, 243}},
    };
    for (const auto& row : rows) {
        const RECT rc = Rect(row.id);
        EXPECT_TRUE(::EqualRect(&rc, &row.rc)) << row.id << ": " << rc.left << "," << rc.top << " " << rc.right
                                                << "," << rc.bottom;
    }
    // The list has its face's width; its field is as low as its font lets it be.
    const RECT list = Rect(IDC_HIFI_PRESET_LIST);
    EXPECT_EQ(list.right - list.left, 105);
    EXPECT_LE(list.bottom - list.top, 21);
    // Band slots take the channel's size.
    for (int band = 0; band < model::kBandCount; ++band) {
        const RECT rc = Rect(IDC_HIFI_BAND_0 + band);
        EXPECT_EQ(rc.top, 309);
        EXPECT_EQ(rc.right - rc.left, m_page->BandSlider(band).GetChannelWidth());
        EXPECT_EQ(rc.bottom - rc.top, m_page->BandSlider(band).GetChannelHeight());
    }
    // The knobs show the knob cursor the page gives them.
    const HCURSOR knobCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_KNOB_CURSOR));
    ASSERT_NE(knobCursor, nullptr);
    EXPECT_EQ(testsupport::CursorOver(m_page->BassKnob().m_hWnd), knobCursor);
    EXPECT_EQ(testsupport::CursorOver(m_page->TrebleKnob().m_hWnd), knobCursor);
}

// ---------------------------------------------------------------------------
// Master switch, tone groups and the click map

TEST_F(HifiPageTest, WithTheMasterOffEveryOtherClickMovesTheWindowAndChangesNothing)
{
    Set(L"InitialButtonOn", L"1");
    Set(L"RegionStyle", L"2");
    Set(L"RoomEnable", L"1");
    CreatePage();
    const UINT targets[] = {IDC_HIFI_BASSTREBLE_SWITCH, IDC_HIFI_REGION_SWITCH, IDC_HIFI_REGION_0,
                            IDC_HIFI_PRESET_SWITCH,     IDC_HIFI_CELL_DANCE,    IDC_HIFI_EQ_SWITCH,
                            IDC_HIFI_ROOM_SWITCH,       IDC_HIFI_ROOM_SELECTOR, IDC_HIFI_ENV_SWITCH,
                            IDC_HIFI_ENV_DISPLAY,       IDC_HIFI_POWER_LIGHT};
    for (UINT id : targets)
        EXPECT_EQ(PressCountingMoves(Centre(id)), 1) << id;
    EXPECT_EQ(PressCountingMoves(POINT{300, 20}), 1);
    EXPECT_TRUE(Journal().empty());
    EXPECT_EQ(Get(L"InitialButtonOn"), L"1");
    EXPECT_EQ(Get(L"RegionStyle"), L"2");
    EXPECT_EQ(Get(L"RoomEnable"), L"1");
    EXPECT_EQ(Get(L"ENVEnable"), L"<missing>");

    // The master switch turns the processing on and restores the stored group.
    Press(IDC_HIFI_MASTER);
    EXPECT_EQ(Get(L"isDrySoundOn"), L"1");
    const std::vector<Call> expected = {kEqOn, GainCall(*hifi::RegionCurve(2)), Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
    EXPECT_TRUE(State(IDC_HIFI_REGION_SWITCH));
    EXPECT_TRUE(State(IDC_HIFI_REGION_2));
    EXPECT_TRUE(State(IDC_HIFI_ROOM_SWITCH));
}

TEST_F(HifiPageTest, MasterOffTurnsTheCardOffButKeepsTheChoices)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"2");
    Set(L"EQPreset", L"5");
    Set(L"ENVEnable", L"1");
    Set(L"Environment", L"0");
    Set(L"RoomSize", L"1");
    CreatePage();
    Press(IDC_HIFI_MASTER);
    EXPECT_EQ(Get(L"isDrySoundOn"), L"0");
    const std::vector<Call> expected = {kEqOff, Room(1), Env(28)};
    EXPECT_EQ(Journal(), expected);
    for (UINT id : kGroupSwitches)
        EXPECT_FALSE(State(id));
    EXPECT_FALSE(State(IDC_HIFI_CELL_ROCK));
    EXPECT_EQ(Get(L"EQPreset"), L"5");
    EXPECT_EQ(Get(L"InitialButtonOn"), L"2");
}

TEST_F(HifiPageTest, ClickingTheActiveGroupSwitchLeavesNoGroup)
{
    Set(L"isDrySoundOn", L"1");
    for (int group = 0; group < 4; ++group) {
        Set(L"InitialButtonOn", std::to_wstring(group));
        CreatePage();
        Press(kGroupSwitches[group]);
        EXPECT_EQ(Get(L"InitialButtonOn"), L"-1") << group;
        const std::vector<Call> expected = {kEqOff, Room(0), Env(28)};
        EXPECT_EQ(Journal(), expected) << group;
        for (UINT id : kGroupSwitches)
            EXPECT_FALSE(State(id)) << group;
        EXPECT_FALSE(State(IDC_HIFI_CUSTOM_LIGHT));
        m_page.reset();
    }
}

TEST_F(HifiPageTest, GroupsZeroToTwoDisableTheCustomControlsAndTurningThreeOffKeepsThem)
{
    const UINT custom[] = {IDC_HIFI_PRESET_LIST, IDC_HIFI_PRESET_NAME, IDC_HIFI_PRESET_SAVE, IDC_HIFI_PRESET_DELETE};
    auto allEnabled = [&](bool enabled) {
        for (UINT id : custom) {
            if ((::IsWindowEnabled(::GetDlgItem(m_page->m_hWnd, id)) != FALSE) != enabled)
                return false;
        }
        return true;
    };
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"-1");
    CreatePage();
    for (int group = 0; group < 3; ++group) {
        Press(IDC_HIFI_EQ_SWITCH);
        EXPECT_TRUE(allEnabled(true)) << group;
        Press(kGroupSwitches[group]); // takes over from the equalizer
        EXPECT_EQ(Get(L"InitialButtonOn"), std::to_wstring(group));
        EXPECT_FALSE(State(IDC_HIFI_EQ_SWITCH));
        EXPECT_TRUE(allEnabled(false)) << group;
    }
    Press(IDC_HIFI_EQ_SWITCH);
    Press(IDC_HIFI_EQ_SWITCH); // off again
    EXPECT_EQ(Get(L"InitialButtonOn"), L"-1");
    EXPECT_TRUE(allEnabled(true));
}

TEST_F(HifiPageTest, RegionStylesAndPresetCells)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"-1");
    CreatePage();
    // With their group off, options and cells do nothing, not even a move.
    Press(IDC_HIFI_REGION_3);
    Press(IDC_HIFI_CELL_JAZZ);
    EXPECT_TRUE(Journal().empty());
    EXPECT_EQ(Get(L"RegionStyle"), L"<missing>");
    EXPECT_EQ(Get(L"EQPreset"), L"<missing>");

    Press(IDC_HIFI_REGION_SWITCH);
    // Style 0 (stored value missing) is a flat curve, still sent.
    std::vector<Call> expected = {kEqOn, GainCall(kFlat), Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
    EXPECT_TRUE(State(IDC_HIFI_REGION_0));
    SimCard_JournalClear();
    Press(IDC_HIFI_REGION_4);
    EXPECT_EQ(Get(L"RegionStyle"), L"4");
    expected = {kEqOn, GainCall(*hifi::RegionCurve(4)), Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
    EXPECT_FALSE(State(IDC_HIFI_REGION_0));
    EXPECT_TRUE(State(IDC_HIFI_REGION_4));

    Press(IDC_HIFI_PRESET_SWITCH);
    SimCard_JournalClear();
    Press(IDC_HIFI_CELL_DANCE);
    EXPECT_EQ(Get(L"EQPreset"), L"2");
    Press(IDC_HIFI_CELL_TREBLE);
    EXPECT_EQ(Get(L"EQPreset"), L"3");
    expected = {kEqOn, Mode(2), Room(0), Env(28), kEqOn, Mode(3), Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
    EXPECT_TRUE(State(IDC_HIFI_CELL_TREBLE));
    EXPECT_FALSE(State(IDC_HIFI_CELL_DANCE));
    EXPECT_FALSE(State(IDC_HIFI_REGION_4)); // region group went off
}

TEST_F(HifiPageTest, OutOfRangeStyleAndPreset)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"2");
    Set(L"EQPreset", L"12");
    Set(L"RegionStyle", L"9");
    CreatePage(true);
    // No cell lit, yet the number reaches the card.
    for (int cell : hifi::kPresetCellIds)
        EXPECT_FALSE(State(static_cast<UINT>(cell))) << cell;
    const std::vector<Call> expected = {{"CMSUP_GetInterface", {}}, kEqOn, Mode(12), Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
    m_page.reset();

    // An unknown group shows every switch off and sends no equalizer status.
    Set(L"InitialButtonOn", L"7");
    SimCard_JournalClear();
    CreatePage(true);
    const std::vector<Call> none = {{"CMSUP_GetInterface", {}}, Room(0), Env(28)};
    EXPECT_EQ(Journal(), none);
    for (UINT id : kGroupSwitches)
        EXPECT_FALSE(State(id));
}

TEST_F(HifiPageTest, EndpointChangeSwitchesTheMasterOff)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"1");
    CreatePage();
    EXPECT_EQ(m_page->SendMessage(WM_ENDPOINT_CHANGED, 0, 1), 1);
    EXPECT_TRUE(Journal().empty());
    EXPECT_EQ(Get(L"isDrySoundOn"), L"1");
    EXPECT_EQ(m_page->SendMessage(WM_ENDPOINT_CHANGED, 0, 0), 1);
    EXPECT_EQ(Get(L"isDrySoundOn"), L"0");
    const std::vector<Call> expected = {kEqOff, Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
    EXPECT_FALSE(State(IDC_HIFI_MASTER));
}

// ---------------------------------------------------------------------------
// Equalizer bands and reset

TEST_F(HifiPageTest, DraggingABandStoresAndSendsOnlyWithTheEqualizerOn)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"0");
    Set(L"Customize", L"1");
    CreatePage();
    DragBand(5, 10); // near the top: a gain well above 0
    const int32_t pos = m_page->BandSlider(5).GetPos();
    ASSERT_LT(pos, 0);
    EXPECT_EQ(Get(L"eq_5"), std::to_wstring(-pos));
    EXPECT_EQ(Get(L"eq_0"), L"0");
    EXPECT_EQ(Get(L"Customize"), L"0");
    EXPECT_TRUE(Journal().empty()) << "tone group 3 is off";

    Press(IDC_HIFI_EQ_SWITCH);
    SimCard_JournalClear();
    DragBand(2, 200); // near the bottom
    const GainArray stored = StoredPageCurve();
    EXPECT_EQ(stored[2], -m_page->BandSlider(2).GetPos());
    EXPECT_LT(stored[2], 0);
    ASSERT_FALSE(Journal().empty());
    EXPECT_EQ(Journal().back(), GainCall(stored));
}

TEST_F(HifiPageTest, KeysOnABandAreAppliedLikeADragAndAKeyThatMovesNothingSendsNothing)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    Set(L"Customize", L"1");
    CreatePage();
    HWND band = ::GetDlgItem(m_page->m_hWnd, IDC_HIFI_BAND_4);
    auto key = [&](UINT vk) {
        ::SendMessageW(band, WM_KEYDOWN, vk, 0);
        testsupport::PumpMessages();
    };
    SimCard_JournalClear();
    key(VK_HOME); // the top of the band: +20 dB
    EXPECT_EQ(Get(L"eq_4"), L"1310680");
    EXPECT_EQ(Get(L"Customize"), L"0");
    ASSERT_EQ(Journal().size(), 1u);
    EXPECT_EQ(Journal().back(), GainCall(StoredPageCurve()));

    SimCard_JournalClear();
    key(VK_HOME);
    EXPECT_TRUE(Journal().empty());
    key(VK_DOWN);
    EXPECT_EQ(Get(L"eq_4"), L"1310679");
    EXPECT_EQ(Journal().size(), 1u);
}

TEST_F(HifiPageTest, ResetFlattensOnlyWithTheEqualizerOnButAlwaysDropsThePresetChoice)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"-1");
    Set(L"eq_4", L"-655360");
    Set(L"Customize", L"1");
    CreatePage();
    Command(IDC_HIFI_BAND_RESET);
    EXPECT_EQ(m_page->BandSlider(4).GetPos(), 655360);
    EXPECT_EQ(Get(L"eq_4"), L"-655360");
    EXPECT_EQ(Get(L"Customize"), L"0");
    EXPECT_TRUE(Journal().empty());

    Set(L"InitialButtonOn", L"3");
    m_page->ApplyHifiState();
    SimCard_JournalClear();
    Command(IDC_HIFI_BAND_RESET);
    EXPECT_EQ(m_page->BandSlider(4).GetPos(), 0);
    EXPECT_EQ(StoredPageCurve(), kFlat);
    const std::vector<Call> expected = {GainCall(kFlat)};
    EXPECT_EQ(Journal(), expected);
}

// ---------------------------------------------------------------------------
// User presets

TEST_F(HifiPageTest, SavingAPresetTrimsTheNameAndRefusesDuplicatesInAnyCase)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    Set(L"eq_1", L"196608");
    CreatePage();
    m_page->SendMessage(WM_SET_LANGUAGE, 0, 2);

    ::SetDlgItemTextW(m_page->m_hWnd, IDC_HIFI_PRESET_NAME, L"  Rock  ");
    BoxSeen box = WatchForBox([&] { Command(IDC_HIFI_PRESET_SAVE); });
    EXPECT_FALSE(box.shown);
    EXPECT_EQ(ListEntries(), std::vector<std::wstring>{L"Rock"});
    EXPECT_EQ(m_page->PresetList().GetWindowText(), L"Rock");
    EXPECT_EQ(m_page->NameBox().GetWindowText(), L"");
    std::wstring value;
    ASSERT_TRUE(testsupport::GetText(kCustomKey + L"\\Rock", L"eq_1", &value));
    EXPECT_EQ(value, L"196608");
    ASSERT_TRUE(testsupport::GetText(kCustomKey + L"\\Rock", L"flag", &value));
    EXPECT_EQ(value, L"1");
    EXPECT_EQ(Get(L"Customize"), L"1");
    EXPECT_TRUE(Journal().empty()) << "saving sends nothing";

    // "rock" would address the same key: refused, the name box emptied.
    DragBand(1, 200);
    for (const wchar_t* name : {L"Rock", L"rock", L" ROCK"}) {
        ::SetDlgItemTextW(m_page->m_hWnd, IDC_HIFI_PRESET_NAME, name);
        box = WatchForBox([&] { Command(IDC_HIFI_PRESET_SAVE); });
        EXPECT_TRUE(box.shown) << name;
        EXPECT_EQ(box.text, L"This name already exists.");
        EXPECT_EQ(box.caption, L"Warning");
        EXPECT_EQ(m_page->NameBox().GetWindowText(), L"");
    }
    ASSERT_TRUE(testsupport::GetText(kCustomKey + L"\\Rock", L"eq_1", &value));
    EXPECT_EQ(value, L"196608") << "the stored curve was overwritten";
    EXPECT_EQ(ListEntries().size(), 1u);
}

TEST_F(HifiPageTest, InvalidPresetNamesAreRefusedInTheUsersLanguage)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    CreatePage();
    const std::wstring tooLong(256, L'n');
    for (const std::wstring& name : {std::wstring(L""), std::wstring(L"   "), std::wstring(L"Live\\Loud"), tooLong}) {
        SetLanguage(1);
        ::SetDlgItemTextW(m_page->m_hWnd, IDC_HIFI_PRESET_NAME, name.c_str());
        BoxSeen box = WatchForBox([&] { Command(IDC_HIFI_PRESET_SAVE); });
        EXPECT_TRUE(box.shown);
        EXPECT_EQ(box.text, L"请指定一个有效名称.");
        EXPECT_EQ(box.caption, L"警告");
        // The name box keeps its text for correction.
        EXPECT_EQ(m_page->NameBox().GetWindowText(), name);
    }
    EXPECT_FALSE(testsupport::KeyExists(kCustomKey + L"\\Live"));
    EXPECT_TRUE(ListEntries().empty());

    // Another language number: no box, and still nothing saved.
    SetLanguage(5);
    ::SetDlgItemTextW(m_page->m_hWnd, IDC_HIFI_PRESET_NAME, L"");
    BoxSeen box = WatchForBox([&] { Command(IDC_HIFI_PRESET_SAVE); });
    EXPECT_FALSE(box.shown);
    EXPECT_TRUE(ListEntries().empty());

    // Traditional Chinese duplicate text.
    SetLanguage(0);
    SavePreset(L"Jazz", kFlat, 0);
    ::SetDlgItemTextW(m_page->m_hWnd, IDC_HIFI_PRESET_NAME, L"jazz");
    box = WatchForBox([&] { Command(IDC_HIFI_PRESET_SAVE); });
    EXPECT_EQ(box.text, L"此名稱已存在.");
    EXPECT_EQ(box.caption, L"警告");
}

TEST_F(HifiPageTest, ChoosingAndDeletingPresets)
{
    const GainArray soft{0, 65536, 65536, 0, 0, 0, 0, 0, -65536, -65536};
    const GainArray loud{327680, 327680, 0, 0, 0, 0, 0, 0, 327680, 327680};
    SavePreset(L"Soft", soft, 0);
    SavePreset(L"Loud", loud, 0);
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    CreatePage();
    ASSERT_EQ(ListEntries().size(), 2u);
    // Turning tone group 3 off leaves the list usable; choosing still sends.
    Press(IDC_HIFI_EQ_SWITCH);
    SimCard_JournalClear();
    const int soft_index = m_page->PresetList().FindStringExact(-1, L"Soft");
    ::SendMessageW(m_page->PresetList(), CB_SETCURSEL, soft_index, 0);
    Command(IDC_HIFI_PRESET_LIST, CBN_SELCHANGE);
    EXPECT_EQ(Journal(), std::vector<Call>{GainCall(soft)});
    EXPECT_EQ(m_page->BandSlider(1).GetPos(), -65536);
    EXPECT_EQ(Get(L"Customize"), L"1");
    std::wstring flag;
    testsupport::GetText(kCustomKey + L"\\Soft", L"flag", &flag);
    EXPECT_EQ(flag, L"1");
    testsupport::GetText(kCustomKey + L"\\Loud", L"flag", &flag);
    EXPECT_EQ(flag, L"0");

    // A band move detaches the curve from the preset; the preset stays.
    DragBand(0, 5);
    EXPECT_EQ(Get(L"Customize"), L"0");
    EXPECT_EQ(m_page->PresetList().GetCurSel(), -1);
    std::wstring value;
    testsupport::GetText(kCustomKey + L"\\Soft", L"eq_0", &value);
    EXPECT_EQ(value, L"0");

    // "-" with nothing chosen deletes nothing, then chooses the last entry.
    SimCard_JournalClear();
    Command(IDC_HIFI_PRESET_DELETE);
    EXPECT_EQ(ListEntries().size(), 2u);
    const std::wstring last = ListEntries().back();
    EXPECT_EQ(m_page->PresetList().GetWindowText(), last);
    EXPECT_EQ(Journal(), std::vector<Call>{GainCall(last == L"Soft" ? soft : loud)});

    // Deleting twice empties the list and sends a flat curve.
    Command(IDC_HIFI_PRESET_DELETE);
    EXPECT_FALSE(testsupport::KeyExists(kCustomKey + L"\\" + last));
    SimCard_JournalClear();
    Command(IDC_HIFI_PRESET_DELETE);
    EXPECT_TRUE(ListEntries().empty());
    EXPECT_FALSE(testsupport::KeyExists(kCustomKey + L"\\Soft"));
    EXPECT_FALSE(testsupport::KeyExists(kCustomKey + L"\\Loud"));
    EXPECT_TRUE(testsupport::KeyExists(kCustomKey));
    EXPECT_EQ(Journal(), std::vector<Call>{GainCall(kFlat)});
    EXPECT_EQ(Get(L"Customize"), L"1");
}

TEST_F(HifiPageTest, SwitchingTheEqualizerOnRestoresTheChosenPresetOrTheStoredCurve)
{
    const GainArray soft{0, 65536, 65536, 0, 0, 0, 0, 0, -65536, -65536};
    SavePreset(L"Soft", soft, 1);
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"-1");
    Set(L"eq_9", L"131072");
    Set(L"Customize", L"1");
    CreatePage();
    EXPECT_TRUE(ListEntries().empty()) << "the list is filled only for tone group 3";
    Press(IDC_HIFI_EQ_SWITCH);
    EXPECT_EQ(ListEntries(), std::vector<std::wstring>{L"Soft"});
    std::vector<Call> expected = {GainCall(soft), kEqOn, Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);

    Set(L"Customize", L"0");
    Press(IDC_HIFI_EQ_SWITCH);
    SimCard_JournalClear();
    Press(IDC_HIFI_EQ_SWITCH);
    expected = {GainCall({0, 0, 0, 0, 0, 0, 0, 0, 0, 131072}), kEqOn, Room(0), Env(28)};
    EXPECT_EQ(Journal(), expected);
}

// ---------------------------------------------------------------------------
// Knobs, room and environment

TEST_F(HifiPageTest, TurningAKnobStoresBothAndSendsOnlyWithBassAndTrebleOn)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"-1");
    Set(L"Treble", L"20");
    Set(L"Bass", L"60"); // clamped by the knob
    CreatePage();
    EXPECT_EQ(m_page->BassKnob().GetPos(), 52);
    HWND treble = m_page->TrebleKnob().m_hWnd;
    ::SendMessageW(treble, WM_KEYDOWN, VK_RIGHT, 0); // the knob posts WM_HSCROLL
    testsupport::PumpMessages();
    EXPECT_EQ(Get(L"Treble"), L"21");
    EXPECT_EQ(Get(L"Bass"), L"52");
    EXPECT_TRUE(Journal().empty());

    Press(IDC_HIFI_BASSTREBLE_SWITCH);
    SimCard_JournalClear();
    ::SendMessageW(treble, WM_KEYDOWN, VK_RIGHT, 0);
    testsupport::PumpMessages();
    EXPECT_EQ(Get(L"Treble"), L"22");
    ASSERT_FALSE(Journal().empty());
    EXPECT_EQ(Journal().front(), GainCall(hifi::BassTrebleGains(52, 22)));
}

TEST_F(HifiPageTest, NoKeyTakesAToneKnobFromTheBottomToTheTop)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"-1");
    Set(L"Treble", L"0");
    Set(L"Bass", L"0");
    CreatePage();
    Press(IDC_HIFI_BASSTREBLE_SWITCH); // every knob change now goes to the card
    SimCard_JournalClear();
    HWND treble = m_page->TrebleKnob().m_hWnd;
    HWND bass = m_page->BassKnob().m_hWnd;
    for (HWND knob : {treble, bass}) {
        for (WPARAM key : {VK_LEFT, VK_UP, VK_PRIOR}) {
            ::SendMessageW(knob, WM_KEYDOWN, key, 0);
            ::SendMessageW(knob, WM_KEYUP, key, 0);
        }
    }
    // One step up on the bass: once it is stored, every key before it was handled.
    ::SendMessageW(bass, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Get(L"Bass") == L"1"; }));
    EXPECT_EQ(Get(L"Treble"), L"0");
    EXPECT_EQ(m_page->TrebleKnob().GetPos(), 0);
    const Call quiet = GainCall(hifi::BassTrebleGains(0, 0));
    const Call oneUp = GainCall(hifi::BassTrebleGains(1, 0));
    for (const Call& call : Journal())
        EXPECT_TRUE(call == quiet || call == oneUp) << "only -20 dB, then one step up, reach the card";
    ASSERT_FALSE(Journal().empty());
    EXPECT_EQ(Journal().back(), oneUp);
}

TEST_F(HifiPageTest, RoomSelectorThirdsAndTheRoomSwitch)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"-1");
    Set(L"RoomSize", L"1");
    CreatePage();
    const RECT rc = Rect(IDC_HIFI_ROOM_SELECTOR);
    ASSERT_EQ(rc.bottom - rc.top, 79);
    const int x = (rc.left + rc.right) / 2;
    const int t1 = rc.top + 26;
    const int t2 = rc.top + 52;
    // Room switch off: a click on the selector does nothing, and no move.
    Press(POINT{x, rc.top + 5});
    EXPECT_EQ(Get(L"RoomSize"), L"1");
    EXPECT_TRUE(Journal().empty());

    Press(IDC_HIFI_ROOM_SWITCH);
    EXPECT_EQ(Get(L"RoomEnable"), L"1");
    const struct {
        int y;
        const wchar_t* size;
    } rows[] = {{rc.top + 5, L"0"}, {t1, L"0"}, {t1 + 1, L"1"}, {t2, L"1"}, {t2 + 1, L"2"}, {t1 - 1, L"0"}};
    for (const auto& row : rows) {
        SimCard_JournalClear();
        Press(POINT{x, row.y});
        EXPECT_EQ(Get(L"RoomSize"), row.size) << row.y;
        // Re-applied even on the dividing rows.
        const int size = std::stoi(row.size);
        EXPECT_EQ(Journal(), (std::vector<Call>{kEqOff, Room(size), Env(28)}));
        EXPECT_EQ(m_page->Picture(IDC_HIFI_ROOM_SELECTOR)->m_currentIndex, size);
    }
    // With the switch off the size is still sent at every application.
    SimCard_JournalClear();
    Press(IDC_HIFI_ROOM_SWITCH);
    EXPECT_EQ(Journal(), (std::vector<Call>{kEqOff, Room(0), Env(28)}));
}

TEST_F(HifiPageTest, EnvironmentStepsStopAtTheEndsAndNeedTheSwitch)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"Environment", L"0");
    CreatePage();
    Command(IDC_HIFI_ENV_NEXT); // switch off: nothing
    EXPECT_EQ(Get(L"Environment"), L"0");
    EXPECT_TRUE(Journal().empty());

    Press(IDC_HIFI_ENV_SWITCH);
    EXPECT_EQ(Get(L"ENVEnable"), L"1");
    EXPECT_EQ(Journal().back(), Env(1));
    SimCard_JournalClear();
    Command(IDC_HIFI_ENV_PREV); // at 0
    EXPECT_EQ(Get(L"Environment"), L"0");
    EXPECT_TRUE(Journal().empty());
    Command(IDC_HIFI_ENV_NEXT);
    EXPECT_EQ(Get(L"Environment"), L"1");
    EXPECT_EQ(Journal().back(), Env(2));

    Set(L"Environment", L"22");
    m_page->ApplyHifiState();
    EXPECT_EQ(Journal().back(), Env(26));
    SimCard_JournalClear();
    Command(IDC_HIFI_ENV_NEXT); // at 22
    EXPECT_EQ(Get(L"Environment"), L"22");
    EXPECT_TRUE(Journal().empty());
    Command(IDC_HIFI_ENV_PREV);
    EXPECT_EQ(Get(L"Environment"), L"21");
    EXPECT_EQ(Journal().back(), Env(25));

    // Off sends 28, on again the stored environment's code.
    Press(IDC_HIFI_ENV_SWITCH);
    EXPECT_EQ(Journal().back(), Env(28));
    Press(IDC_HIFI_ENV_SWITCH);
    EXPECT_EQ(Journal().back(), Env(25));

    // Outside the list: nothing sent, and previous steps back from it.
    Set(L"Environment", L"30");
    SimCard_JournalClear();
    m_page->ApplyHifiState();
    EXPECT_EQ(Journal().back(), Room(0));
    Command(IDC_HIFI_ENV_NEXT);
    EXPECT_EQ(Get(L"Environment"), L"30");
    Command(IDC_HIFI_ENV_PREV);
    EXPECT_EQ(Get(L"Environment"), L"29");
    Set(L"Environment", L"-1");
    SimCard_JournalClear();
    m_page->ApplyHifiState();
    EXPECT_EQ(Journal().back(), Env(28));
}

// ---------------------------------------------------------------------------
// Language, keys and the page column

namespace {
// Whether two bitmaps hold the same pixels.
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
    return a && b && bits(a) == bits(b);
}
} // namespace

TEST_F(HifiPageTest, LanguageSwitchReplacesBackgroundAndEnvironmentPictures)
{
    Set(L"Environment", L"6");
    CreatePage();
    const CMyStaticBmp* display = m_page->Picture(IDC_HIFI_ENV_DISPLAY);
    const struct {
        int language;
        UINT background;
        UINT firstPicture;
    } rows[] = {{1, 245, 198}, {0, 246, 221}, {2, 244, 175}};
    for (const auto& row : rows) {
        m_page->SendMessage(WM_SET_LANGUAGE, 0, row.language);
        EXPECT_EQ(m_page->GetBackgroundId(), row.background);
        fw::UniqueBitmap expected(CMyStaticBmp::LoadBitmapResource(row.firstPicture + 6));
        EXPECT_TRUE(SamePixels(display->GetPicture(6), expected.get())) << row.language;
        EXPECT_EQ(display->m_currentIndex, 6);
    }
    // Any other number only repaints.
    m_page->SendMessage(WM_SET_LANGUAGE, 0, 3);
    EXPECT_EQ(m_page->GetBackgroundId(), 244u);
    EXPECT_TRUE(Journal().empty());
}

TEST_F(HifiPageTest, ReturnAndEscapeDoNotCloseThePage)
{
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    CreatePage();
    HWND nameBox = m_page->NameBox().m_hWnd;
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        // Through the program's loop: the filter, then the window if nothing took it.
        MSG msg{nameBox, WM_KEYDOWN, key, 1, 0, {}};
        if (!CDialog::PreTranslateInput(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        testsupport::PumpMessages();
        EXPECT_TRUE(m_page->IsWindowVisible()) << key;
    }
    MSG other{nameBox, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_FALSE(m_page->PreTranslateMessage(&other));
}

