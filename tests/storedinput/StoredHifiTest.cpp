// Every value the Hifi page keeps in the store, and the user presets under
// Custom, set to hostile forms: the page starts, shows what the stored value
// means (clamped, ignored or passed on to the card), answers a click, and
// the whole settings key afterwards differs from before only by what that
// click writes.
#include "HifiTestSupport.h"
#include "SimCardControl.h"
#include "StoredForms.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

using namespace hifitest;
using namespace storedinput;

namespace {

const std::wstring kStoreRoot = L"Software\\Marvolin\\VANTIR";
const Call kEqOff{"CMSUP_SetEQStatus", {0}};
const Call kEqOn{"CMSUP_SetEQStatus", {1}};
constexpr UINT kRegionIds[model::kRegionStyleCount] = {IDC_HIFI_REGION_0, IDC_HIFI_REGION_1, IDC_HIFI_REGION_2,
                                                       IDC_HIFI_REGION_3, IDC_HIFI_REGION_4};

int Occurrences(const std::vector<Call>& journal, const Call& call)
{
    return static_cast<int>(std::count(journal.begin(), journal.end(), call));
}

int OccurrencesOf(const std::vector<Call>& journal, const std::string& op)
{
    return static_cast<int>(
        std::count_if(journal.begin(), journal.end(), [&](const Call& c) { return c.op == op; }));
}

std::wstring Describe(const std::vector<Call>& journal)
{
    std::ostringstream out;
    for (const Call& call : journal)
        out << call << " ";
    std::string text = out.str();
    return std::wstring(text.begin(), text.end());
}

class StoredHifiTest : public HifiPageTest {
protected:
    struct Family {
        // Values set before the one under test (subkey Hifi).
        std::vector<std::pair<std::wstring, std::wstring>> base;
        // Names of the values that take the form.
        std::vector<std::wstring> names;
        // Checks the page and the card's journal for the integer read.
        std::function<void(int v, const std::vector<Call>& journal)> check;
        // Clicks, and records in `tree` what the click writes.
        std::function<void(int v, Tree& tree)> click;
        // Anything else the store holds before the page starts.
        std::function<void()> prepare = [] {};
    };

    // Empties the page's store and the card, as at the start of a test.
    void ResetStore()
    {
        testsupport::DeleteTree(kHifiKey);
        testsupport::DeleteTree(kCustomKey);
        testsupport::CreateKey(kHifiKey);
        SimCard_Reset();
    }

    void Run(const Family& family)
    {
        for (const Form& form : Forms()) {
            SCOPED_TRACE(form.label);
            ResetStore();
            for (const auto& [name, value] : family.base)
                Set(name, value);
            for (const std::wstring& name : family.names)
                Store(kHifiKey, name, form);
            family.prepare();
            Tree expected = Dump(kStoreRoot);
            CreatePage(true);
            ASSERT_TRUE(m_page && ::IsWindowVisible(m_page->m_hWnd));
            family.check(form.reads, Journal());
            SimCard_JournalClear();
            family.click(form.reads, expected);
            // The page still answers after the click.
            EXPECT_EQ(::SendMessageW(m_page->m_hWnd, WM_NULL, 0, 0), 0);
            const Tree after = Dump(kStoreRoot);
            EXPECT_TRUE(after == expected) << Difference(expected, after);
            m_page.reset();
        }
    }

    bool On(UINT id) const { return State(id); }
    void KnobMoved(const CRoundSliderCtrl& knob)
    {
        m_page->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(knob.m_hWnd));
    }
};

TEST_F(StoredHifiTest, MasterSwitch)
{
    Run({{{L"InitialButtonOn", L"0"}, {L"Bass", L"30"}, {L"Treble", L"10"}},
         {L"isDrySoundOn"},
         [&](int v, const std::vector<Call>& journal) {
             EXPECT_EQ(On(IDC_HIFI_MASTER), v == 1);
             EXPECT_EQ(On(IDC_HIFI_BASSTREBLE_SWITCH), v == 1);
             EXPECT_EQ(Occurrences(journal, GainCall(hifi::BassTrebleGains(30, 10))), v == 1 ? 1 : 0)
                 << Describe(journal);
             EXPECT_EQ(Occurrences(journal, kEqOff), v == 1 ? 0 : 1);
         },
         [&](int v, Tree& tree) {
             Press(IDC_HIFI_MASTER);
             EXPECT_EQ(On(IDC_HIFI_MASTER), v != 1);
             ExpectWrite(tree, L"Hifi", L"isDrySoundOn", v == 1 ? L"0" : L"1");
         }});
}

TEST_F(StoredHifiTest, ToneGroup)
{
    Run({{{L"isDrySoundOn", L"1"}},
         {L"InitialButtonOn"},
         [&](int v, const std::vector<Call>& journal) {
             EXPECT_EQ(On(IDC_HIFI_BASSTREBLE_SWITCH), v == 0);
             EXPECT_EQ(On(IDC_HIFI_REGION_SWITCH), v == 1);
             EXPECT_EQ(On(IDC_HIFI_PRESET_SWITCH), v == 2);
             EXPECT_EQ(On(IDC_HIFI_EQ_SWITCH), v == 3);
             // Groups -1 ... 3 send a status; any other number sends none.
             EXPECT_EQ(Occurrences(journal, kEqOff), v == -1 ? 1 : 0) << Describe(journal);
             EXPECT_EQ(Occurrences(journal, kEqOn), v >= 0 && v <= 3 ? 1 : 0) << Describe(journal);
         },
         [&](int v, Tree& tree) {
             Press(IDC_HIFI_BASSTREBLE_SWITCH);
             EXPECT_EQ(On(IDC_HIFI_BASSTREBLE_SWITCH), v != 0);
             ExpectWrite(tree, L"Hifi", L"InitialButtonOn", v == 0 ? L"-1" : L"0");
         }});
}

TEST_F(StoredHifiTest, BuiltInPreset)
{
    Run({{{L"isDrySoundOn", L"1"}, {L"InitialButtonOn", L"2"}},
         {L"EQPreset"},
         [&](int v, const std::vector<Call>& journal) {
             for (int n = 0; n < model::kPresetCount; ++n)
                 EXPECT_EQ(On(static_cast<UINT>(hifi::kPresetCellIds[static_cast<size_t>(n)])), v == n) << n;
             // Passed on to the card even outside 0 ... 11.
             EXPECT_EQ(Occurrences(journal, Call{"CMSUP_SetEQMode", {v}}), 1) << Describe(journal);
         },
         [&](int, Tree& tree) {
             Press(static_cast<UINT>(hifi::kPresetCellIds[4]));
             EXPECT_TRUE(On(static_cast<UINT>(hifi::kPresetCellIds[4])));
             ExpectWrite(tree, L"Hifi", L"EQPreset", L"4");
         }});
}

TEST_F(StoredHifiTest, RegionStyle)
{
    Run({{{L"isDrySoundOn", L"1"}, {L"InitialButtonOn", L"1"}},
         {L"RegionStyle"},
         [&](int v, const std::vector<Call>& journal) {
             for (int s = 0; s < model::kRegionStyleCount; ++s)
                 EXPECT_EQ(On(kRegionIds[s]), v == s) << s;
             const hifi::GainArray* curve = hifi::RegionCurve(v);
             EXPECT_EQ(OccurrencesOf(journal, "CMSUP_SetEQGain"), curve ? 1 : 0) << Describe(journal);
             if (curve) {
                 EXPECT_EQ(Occurrences(journal, GainCall(*curve)), 1);
             }
         },
         [&](int, Tree& tree) {
             Press(IDC_HIFI_REGION_2);
             EXPECT_TRUE(On(IDC_HIFI_REGION_2));
             ExpectWrite(tree, L"Hifi", L"RegionStyle", L"2");
         }});
}

TEST_F(StoredHifiTest, StoredBandGains)
{
    std::vector<std::wstring> bands;
    for (int i = 0; i < model::kBandCount; ++i)
        bands.push_back(L"eq_" + std::to_wstring(i));
    Run({{{L"isDrySoundOn", L"1"}, {L"InitialButtonOn", L"3"}, {L"Customize", L"0"}},
         bands,
         [&](int v, const std::vector<Call>& journal) {
             // Clamped to the slider range on loading; the clamped curve is sent.
             const int32_t pos = hifi::GainToSliderPos(v);
             hifi::GainArray gains{};
             for (int i = 0; i < model::kBandCount; ++i) {
                 EXPECT_EQ(m_page->BandSlider(i).GetPos(), pos) << "band " << i;
                 gains[static_cast<size_t>(i)] = -pos;
             }
             EXPECT_EQ(Occurrences(journal, GainCall(gains)), 1) << Describe(journal);
         },
         [&](int, Tree& tree) {
             Command(IDC_HIFI_BAND_RESET);
             for (const std::wstring& band : bands)
                 ExpectWrite(tree, L"Hifi", band, L"0");
             ExpectWrite(tree, L"Hifi", L"Customize", L"0");
         }});
}

TEST_F(StoredHifiTest, BassAndTrebleKnobs)
{
    Run({{{L"isDrySoundOn", L"1"}, {L"InitialButtonOn", L"0"}},
         {L"Bass", L"Treble"},
         [&](int v, const std::vector<Call>& journal) {
             const int pos = std::clamp(v, 0, model::kToneKnobMax);
             EXPECT_EQ(m_page->BassKnob().GetPos(), pos);
             EXPECT_EQ(m_page->TrebleKnob().GetPos(), pos);
             EXPECT_EQ(Occurrences(journal, GainCall(hifi::BassTrebleGains(pos, pos))), 1) << Describe(journal);
         },
         [&](int v, Tree& tree) {
             // A knob move stores both knobs' clamped positions.
             KnobMoved(m_page->TrebleKnob());
             const std::wstring pos = std::to_wstring(std::clamp(v, 0, model::kToneKnobMax));
             ExpectWrite(tree, L"Hifi", L"Treble", pos);
             ExpectWrite(tree, L"Hifi", L"Bass", pos);
         }});
}

TEST_F(StoredHifiTest, EnvironmentSwitch)
{
    Run({{{L"isDrySoundOn", L"1"}, {L"Environment", L"5"}},
         {L"ENVEnable"},
         [&](int v, const std::vector<Call>& journal) {
             EXPECT_EQ(On(IDC_HIFI_ENV_SWITCH), v == 1);
             const int32_t code = v == 1 ? hifi::EnvironmentCode(6) : hifi::kEnvironmentOffCode;
             EXPECT_EQ(Occurrences(journal, Call{"CMSUP_SetEnvMode", {code}}), 1) << Describe(journal);
         },
         [&](int v, Tree& tree) {
             Press(IDC_HIFI_ENV_SWITCH);
             EXPECT_EQ(On(IDC_HIFI_ENV_SWITCH), v != 1);
             ExpectWrite(tree, L"Hifi", L"ENVEnable", v == 1 ? L"0" : L"1");
         }});
}

TEST_F(StoredHifiTest, Environment)
{
    Run({{{L"isDrySoundOn", L"1"}, {L"ENVEnable", L"1"}},
         {L"Environment"},
         [&](int v, const std::vector<Call>& journal) {
             const CMyStaticBmp* display = m_page->Picture(IDC_HIFI_ENV_DISPLAY);
             EXPECT_EQ(display->m_currentIndex, v);
             if (v >= 0 && v < model::kEnvironmentCount) {
                 EXPECT_EQ(display->GetBitmap(), display->GetPicture(v));
             }
             // Outside -1 ... 22 nothing is sent while the switch is on.
             const bool sends = v >= -1 && v < model::kEnvironmentCount;
             EXPECT_EQ(OccurrencesOf(journal, "CMSUP_SetEnvMode"), sends ? 1 : 0) << Describe(journal);
             if (sends) {
                 EXPECT_EQ(Occurrences(journal, Call{"CMSUP_SetEnvMode", {hifi::EnvironmentCode(v + 1)}}), 1);
             }
         },
         [&](int v, Tree& tree) {
             // Next steps from the shown index and stops at 22; previous
             // steps down from it and stops at 0.
             Command(IDC_HIFI_ENV_NEXT);
             int current = v;
             if (current < model::kEnvironmentCount - 1) {
                 ++current;
                 ExpectWrite(tree, L"Hifi", L"Environment", std::to_wstring(current));
             }
             Command(IDC_HIFI_ENV_PREV);
             if (current > 0) {
                 --current;
                 ExpectWrite(tree, L"Hifi", L"Environment", std::to_wstring(current));
             }
             EXPECT_EQ(m_page->Picture(IDC_HIFI_ENV_DISPLAY)->m_currentIndex, current);
         }});
}

TEST_F(StoredHifiTest, RoomSwitchAndSize)
{
    Run({{{L"isDrySoundOn", L"1"}, {L"RoomSize", L"1"}},
         {L"RoomEnable"},
         [&](int v, const std::vector<Call>&) { EXPECT_EQ(On(IDC_HIFI_ROOM_SWITCH), v == 1); },
         [&](int v, Tree& tree) {
             Press(IDC_HIFI_ROOM_SWITCH);
             ExpectWrite(tree, L"Hifi", L"RoomEnable", v == 1 ? L"0" : L"1");
         }});
    Run({{{L"isDrySoundOn", L"1"}, {L"RoomEnable", L"1"}},
         {L"RoomSize"},
         [&](int v, const std::vector<Call>& journal) {
             // Passed on to the card whatever it is; the picture only within the list.
             EXPECT_EQ(Occurrences(journal, Call{"CMSUP_SetRoomSize", {v}}), 1) << Describe(journal);
             const CMyStaticBmp* selector = m_page->Picture(IDC_HIFI_ROOM_SELECTOR);
             EXPECT_EQ(selector->m_currentIndex, v);
             if (v >= 0 && v <= 2) {
                 EXPECT_EQ(selector->GetBitmap(), selector->GetPicture(v));
             }
         },
         [&](int, Tree& tree) {
             const RECT rc = Rect(IDC_HIFI_ROOM_SELECTOR);
             Press(POINT{(rc.left + rc.right) / 2, rc.top + 2});
             ExpectWrite(tree, L"Hifi", L"RoomSize", L"0");
         }});
}

TEST_F(StoredHifiTest, CustomizeWithAFlaggedPreset)
{
    const hifi::GainArray gains = {65536, -65536, 0, 0, 0, 0, 0, 0, 0, 131072};
    const auto savePreset = [&] { SavePreset(L"Flagged", gains, 1); };
    Run({{{L"isDrySoundOn", L"1"}, {L"InitialButtonOn", L"3"}},
         {L"Customize"},
         [&](int v, const std::vector<Call>& journal) {
             // Any number but 0 brings the flagged preset back.
             EXPECT_EQ(m_page->PresetList().GetCurSel(), v != 0 ? 0 : -1);
             EXPECT_EQ(Occurrences(journal, GainCall(gains)), v != 0 ? 1 : 0) << Describe(journal);
         },
         [&](int v, Tree& tree) {
             Command(IDC_HIFI_BAND_RESET);
             for (int i = 0; i < model::kBandCount; ++i)
                 ExpectWrite(tree, L"Hifi", L"eq_" + std::to_wstring(i), L"0");
             ExpectWrite(tree, L"Hifi", L"Customize", L"0");
             (void)v;
         },
         savePreset});
}

// A store with 500 user presets: the list holds them all in the store's
// order, the flagged one comes back, and choosing another rewrites every flag.
TEST_F(StoredHifiTest, FiveHundredPresets)
{
    ResetStore();
    Set(L"isDrySoundOn", L"1");
    Set(L"InitialButtonOn", L"3");
    Set(L"Customize", L"1");
    for (int i = 0; i < 500; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"Preset %03d", i);
        hifi::GainArray gains{};
        gains[static_cast<size_t>(i % 10)] = (i % 41 - 20) * 65536;
        SavePreset(name, gains, i == 377 ? 1 : 0);
    }
    Tree expected = Dump(kStoreRoot);
    CreatePage(true);
    const std::vector<std::wstring> entries = ListEntries();
    ASSERT_EQ(entries.size(), 500u);
    const auto flagged = std::find(entries.begin(), entries.end(), L"Preset 377");
    ASSERT_NE(flagged, entries.end());
    EXPECT_EQ(m_page->PresetList().GetCurSel(), flagged - entries.begin());
    hifi::GainArray gains{};
    gains[7] = (377 % 41 - 20) * 65536;
    EXPECT_EQ(Occurrences(Journal(), GainCall(gains)), 1) << Describe(Journal());

    // Choose the last entry: its flag becomes 1, every other one 0.
    ::SendMessageW(m_page->PresetList().m_hWnd, CB_SETCURSEL, 499, 0);
    Command(IDC_HIFI_PRESET_LIST, CBN_SELCHANGE);
    for (size_t j = 0; j < entries.size(); ++j)
        ExpectWrite(expected, L"Custom\\" + entries[j], L"flag", j == 499 ? L"1" : L"0");
    ExpectWrite(expected, L"Hifi", L"Customize", L"1");
    const Tree after = Dump(kStoreRoot);
    EXPECT_TRUE(after == expected) << Difference(expected, after);
}

// Presets whose bands and flag hold each hostile form, beside one without
// any value: the list shows them, a flag that reads 1 brings its preset
// back, and choosing a preset loads its bands clamped to the sliders.
TEST_F(StoredHifiTest, PresetsWithGarbageBandsAndFlags)
{
    for (const Form& form : Forms()) {
        SCOPED_TRACE(form.label);
        ResetStore();
        Set(L"isDrySoundOn", L"1");
        Set(L"InitialButtonOn", L"3");
        Set(L"Customize", L"1");
        testsupport::CreateKey(kCustomKey + L"\\Bare");
        for (int i = 0; i < model::kBandCount; ++i)
            Store(kCustomKey + L"\\Garbage", L"eq_" + std::to_wstring(i), form);
        Store(kCustomKey + L"\\Garbage", L"flag", form);
        Tree expected = Dump(kStoreRoot);
        CreatePage(true);
        std::vector<std::wstring> entries = ListEntries();
        std::sort(entries.begin(), entries.end());
        ASSERT_EQ(entries, (std::vector<std::wstring>{L"Bare", L"Garbage"}));
        const std::vector<std::wstring> listed = ListEntries();
        const int garbage = static_cast<int>(std::find(listed.begin(), listed.end(), L"Garbage") - listed.begin());
        const int32_t pos = hifi::GainToSliderPos(form.reads);
        if (form.reads == 1) {
            EXPECT_EQ(m_page->PresetList().GetCurSel(), garbage);
            for (int i = 0; i < model::kBandCount; ++i)
                EXPECT_EQ(m_page->BandSlider(i).GetPos(), pos) << "band " << i;
        } else {
            EXPECT_EQ(m_page->PresetList().GetCurSel(), -1);
        }
        // Whatever came back at start wrote its choice: record it.
        expected = Dump(kStoreRoot);

        // The bare preset loads a flat curve; the garbage one its clamped bands.
        for (int which : {1 - garbage, garbage}) {
            SimCard_JournalClear();
            ::SendMessageW(m_page->PresetList().m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(which), 0);
            Command(IDC_HIFI_PRESET_LIST, CBN_SELCHANGE);
            hifi::GainArray gains{};
            for (int i = 0; i < model::kBandCount; ++i) {
                const int32_t expectedPos = which == garbage ? pos : 0;
                EXPECT_EQ(m_page->BandSlider(i).GetPos(), expectedPos) << "band " << i;
                gains[static_cast<size_t>(i)] = -expectedPos;
            }
            EXPECT_EQ(Occurrences(Journal(), GainCall(gains)), 1) << Describe(Journal());
            ExpectWrite(expected, L"Custom\\" + listed[static_cast<size_t>(which)], L"flag", L"1");
            ExpectWrite(expected, L"Custom\\" + listed[static_cast<size_t>(1 - which)], L"flag", L"0");
            ExpectWrite(expected, L"Hifi", L"Customize", L"1");
        }
        const Tree after = Dump(kStoreRoot);
        EXPECT_TRUE(after == expected) << Difference(expected, after);
        m_page.reset();
    }
}

// CPL.ini beside the program missing, empty, garbage, very large or with
// values out of range: the page starts, and the INI's indexes only decide
// the first pictures of the room selector and the environment display (seen
// here because the stored indexes lie outside the lists and leave them).
class StoredIniTest : public StoredHifiTest {
protected:
    void SetUp() override
    {
        StoredHifiTest::SetUp();
        m_path = testsupport::ProgramFolder() + L"\\CPL.ini";
        std::ifstream in(std::filesystem::path(m_path), std::ios::binary);
        m_hadFile = in.good();
        if (m_hadFile)
            m_saved.assign(std::istreambuf_iterator<char>(in), {});
    }
    void TearDown() override
    {
        StoredHifiTest::TearDown();
        if (m_hadFile)
            std::ofstream(std::filesystem::path(m_path), std::ios::binary) << m_saved;
        else
            ::DeleteFileW(m_path.c_str());
    }
    void WriteIni(const std::string& content) { std::ofstream(std::filesystem::path(m_path), std::ios::binary) << content; }

    // Starts the page and checks which pictures the two lists show.
    void ExpectFirstPictures(int room, int environment)
    {
        ResetStore();
        Set(L"RoomSize", L"30");
        Set(L"Environment", L"-7");
        Tree before = Dump(kStoreRoot);
        CreatePage(true);
        const CMyStaticBmp* selector = m_page->Picture(IDC_HIFI_ROOM_SELECTOR);
        const CMyStaticBmp* display = m_page->Picture(IDC_HIFI_ENV_DISPLAY);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(selector->GetBitmap() == selector->GetPicture(k), k == room) << "room picture " << k;
        for (int k = 0; k < model::kEnvironmentCount; ++k)
            EXPECT_EQ(display->GetBitmap() == display->GetPicture(k), k == environment) << "environment picture "
                                                                                          << k;
        // The page answers: the master switch turns on.
        Press(IDC_HIFI_MASTER);
        EXPECT_TRUE(On(IDC_HIFI_MASTER));
        ExpectWrite(before, L"Hifi", L"isDrySoundOn", L"1");
        const Tree after = Dump(kStoreRoot);
        EXPECT_TRUE(after == before) << Difference(before, after);
        m_page.reset();
    }

    std::wstring m_path;
    bool m_hadFile = false;
    std::string m_saved;
};

TEST_F(StoredIniTest, MissingEmptyGarbageAndLarge)
{
    {
        SCOPED_TRACE("missing");
        ::DeleteFileW(m_path.c_str());
        ExpectFirstPictures(-1, -1);
    }
    {
        SCOPED_TRACE("empty");
        WriteIni("");
        ExpectFirstPictures(-1, -1);
    }
    {
        SCOPED_TRACE("garbage");
        // Control characters and high bytes, never a section header.
        std::mt19937 rng(7);
        std::string junk;
        for (int i = 0; i < 64 * 1024; ++i) {
            const unsigned char c = static_cast<unsigned char>(rng() % 2 ? 0x80 + rng() % 0x80 : 1 + rng() % 0x1F);
            junk += static_cast<char>(c);
        }
        WriteIni(junk);
        ExpectFirstPictures(-1, -1);
    }
    {
        SCOPED_TRACE("values with letters");
        WriteIni("[Hifi]\r\nRoomSize=2xyz\r\nEnvironment=7abc\r\n");
        ExpectFirstPictures(2, 7);
    }
    {
        SCOPED_TRACE("values out of range");
        WriteIni("[Hifi]\r\nRoomSize=99999999999\r\nEnvironment=-5\r\n");
        ExpectFirstPictures(-1, -1);
    }
    {
        SCOPED_TRACE("very large");
        std::string big;
        for (int s = 0; s < 2000; ++s) {
            big += "[Section" + std::to_string(s) + "]\r\n";
            for (int k = 0; k < 20; ++k)
                big += "Key" + std::to_string(k) + "=" + std::string(40, static_cast<char>('a' + k)) + "\r\n";
        }
        big += "[Hifi]\r\nRoomSize=1\r\nEnvironment=12\r\n";
        WriteIni(big);
        ExpectFirstPictures(1, 12);
    }
}

} // namespace
