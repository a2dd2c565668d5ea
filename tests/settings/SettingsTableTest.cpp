// The named values over the real registry: the table, the Hifi page's one
// reading of its subkey, the exact text each write keeps, and user presets.
#include "Settings.h"
#include "StoreFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <vector>

namespace {

class SettingsTable : public StoreFixture {
protected:
    static inline const std::wstring kHifiPath = kRootPath + L"\\Hifi";
};

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

TEST_F(SettingsTable, EveryValueHasOneNameInItsSubkey)
{
    const std::set<std::wstring> subkeys = {settings::kCplSubkey, settings::kHifiSubkey, settings::kDigitalSubkey,
                                            settings::kInfoSubkey};
    std::set<std::wstring> seen;
    for (const settings::StoredValue& value : settings::Table()) {
        SCOPED_TRACE(std::wstring(value.subkey) + L"\\" + value.name);
        EXPECT_TRUE(subkeys.count(value.subkey));
        // The store does not tell letter cases apart.
        EXPECT_TRUE(seen.insert(Lower(value.subkey) + L"\\" + Lower(value.name)).second) << "named twice";
        if (value.kind == settings::ValueKind::Int) {
            EXPECT_LE(value.minimum, value.maximum);
        }
    }
}

// Every Hifi value of the table lands in its own field of the one reading.
TEST_F(SettingsTable, TheHifiReadingTakesEachValueIntoItsField)
{
    testsupport::SetText(kHifiPath, L"isDrySoundOn", L"1");
    testsupport::SetText(kHifiPath, L"InitialButtonOn", L"2");
    testsupport::SetText(kHifiPath, L"RegionStyle", L"4");
    testsupport::SetText(kHifiPath, L"EQPreset", L"11");
    testsupport::SetText(kHifiPath, L"Customize", L"1");
    testsupport::SetText(kHifiPath, L"Bass", L"31");
    testsupport::SetText(kHifiPath, L"Treble", L"7");
    testsupport::SetText(kHifiPath, L"ENVEnable", L"1");
    testsupport::SetText(kHifiPath, L"Environment", L"22");
    testsupport::SetText(kHifiPath, L"RoomEnable", L"1");
    testsupport::SetText(kHifiPath, L"RoomSize", L"2");
    for (int i = 0; i < model::kBandCount; ++i)
        testsupport::SetText(kHifiPath, L"eq_" + std::to_wstring(i), std::to_wstring(-65536 * i - 1));

    const settings::HifiSettings s = settings::ReadHifi();
    EXPECT_TRUE(s.on);
    EXPECT_EQ(s.toneGroup, model::ToneGroup::BuiltInPreset);
    EXPECT_EQ(s.regionStyle, 4);
    EXPECT_EQ(s.eqPreset, 11);
    EXPECT_TRUE(s.customPresetChosen);
    EXPECT_EQ(s.bass, 31);
    EXPECT_EQ(s.treble, 7);
    EXPECT_TRUE(s.environmentOn);
    EXPECT_EQ(s.environment, 22);
    EXPECT_TRUE(s.roomOn);
    EXPECT_EQ(s.roomSize, 2);
    for (int i = 0; i < model::kBandCount; ++i)
        EXPECT_EQ(s.bands[static_cast<size_t>(i)], -65536 * i - 1) << "band " << i;
}

// The page's meanings of odd stored numbers, and a subkey that is gone.
TEST_F(SettingsTable, TheHifiReadingMeansWhatThePageAlwaysMeant)
{
    testsupport::SetText(kHifiPath, L"isDrySoundOn", L"2"); // only 1 is on
    testsupport::SetText(kHifiPath, L"Customize", L"2");    // anything but 0 is chosen
    testsupport::SetText(kHifiPath, L"InitialButtonOn", L"7");
    testsupport::SetText(kHifiPath, L"RoomEnable", L"-1");
    settings::HifiSettings s = settings::ReadHifi();
    EXPECT_FALSE(s.on);
    EXPECT_TRUE(s.customPresetChosen);
    EXPECT_EQ(s.toneGroup, std::nullopt);
    EXPECT_FALSE(s.roomOn);

    testsupport::SetText(kHifiPath, L"InitialButtonOn", L"-1");
    EXPECT_EQ(settings::ReadHifi().toneGroup, model::ToneGroup::None);

    testsupport::DeleteTree(kHifiPath);
    s = settings::ReadHifi();
    EXPECT_FALSE(s.on);
    EXPECT_EQ(s.toneGroup, model::ToneGroup::BassTreble) << "a missing number reads as 0";
    EXPECT_EQ(s.bands, (std::array<int32_t, model::kBandCount>{}));
}

// What a person's registry holds after a change is the text the panel has
// always written there: REG_SZ decimal text, in the subkey as it exists.
TEST_F(SettingsTable, WritesKeepTheirTextAndOnlyIntoExistingSubkeys)
{
    settings::WriteToneGroup(model::ToneGroup::None);
    EXPECT_EQ(Raw(kHifiPath, L"InitialButtonOn"), (std::pair<DWORD, std::wstring>{REG_SZ, std::wstring(L"-1\0", 3)}));
    settings::WriteBands({0, -1310720, 1310680});
    EXPECT_EQ(Raw(kHifiPath, L"eq_1"), (std::pair<DWORD, std::wstring>{REG_SZ, std::wstring(L"-1310720\0", 9)}));
    EXPECT_EQ(Raw(kHifiPath, L"eq_9"), (std::pair<DWORD, std::wstring>{REG_SZ, std::wstring(L"0\0", 2)}));
    EXPECT_TRUE(settings::Write(settings::kLanguage, 2));
    EXPECT_EQ(Raw(kRootPath + L"\\CPL", L"language"), (std::pair<DWORD, std::wstring>{REG_SZ, std::wstring(L"2\0", 2)}));

    testsupport::DeleteTree(kRootPath + L"\\Digital");
    EXPECT_FALSE(settings::Write(settings::kDigitalOutput, 3));
    EXPECT_FALSE(testsupport::KeyExists(kRootPath + L"\\Digital"));
    EXPECT_EQ(settings::Read(settings::kDigitalOutput), 0);
}

TEST_F(SettingsTable, UserPresetsComeAndGoByName)
{
    const std::wstring name = L"My Hall";
    EXPECT_FALSE(settings::PresetExists(name));
    EXPECT_FALSE(settings::Write(name, settings::kPresetFlag, 1)) << "no preset to write into";
    settings::Create(name, settings::kPresetBands[3], -65536);
    settings::Create(name, settings::kPresetFlag, 1);
    EXPECT_TRUE(settings::PresetExists(L"MY HALL")) << "names do not tell letter cases apart";
    EXPECT_EQ(settings::Read(name, settings::kPresetBands[3]), -65536);
    EXPECT_TRUE(settings::Write(name, settings::kPresetFlag, 0));
    EXPECT_EQ(Raw(kRootPath + L"\\Custom\\" + name, L"flag"),
              (std::pair<DWORD, std::wstring>{REG_SZ, std::wstring(L"0\0", 2)}));
    EXPECT_EQ(settings::PresetTable().size(), static_cast<size_t>(model::kBandCount + 1));
    settings::DeletePreset(name);
    EXPECT_FALSE(settings::PresetExists(name));
}

} // namespace
