#include "HifiModel.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace hifi;

TEST(HifiModel, StoredGainsBecomeClampedSliderPositions)
{
    // The range is not symmetric: +20 dB cannot be shown and loads as the top.
    EXPECT_EQ(GainToSliderPos(1310720), -1310680);
    EXPECT_EQ(GainToSliderPos(-1310720), 1310720);
    EXPECT_EQ(GainToSliderPos(-327680), 327680);
    EXPECT_EQ(GainToSliderPos(INT_MIN), kSliderMax);
    EXPECT_EQ(GainToSliderPos(INT_MAX), kSliderMin);
}

TEST(HifiModel, RegionCurvesAreWholeTenthsOfADecibelInTheBandRange)
{
    // Style 0 is the flat curve; the others are five different curves whose
    // every gain is a whole tenth of a decibel in 16.16 fixed point (a digit
    // wrong in the table would almost never land on one) inside the band range.
    ASSERT_NE(RegionCurve(0), nullptr);
    EXPECT_EQ(*RegionCurve(0), GainArray{});
    for (int style = 1; style < model::kRegionStyleCount; ++style) {
        SCOPED_TRACE(style);
        ASSERT_NE(RegionCurve(style), nullptr);
        for (int other = 0; other < style; ++other)
            EXPECT_NE(*RegionCurve(style), *RegionCurve(other)) << "the same as style " << other;
        for (int32_t gain : *RegionCurve(style)) {
            EXPECT_GE(gain, -1310720);
            EXPECT_LE(gain, 1310720);
            const long tenths = std::lround(gain * 10.0 / 65536.0);
            EXPECT_EQ(gain, std::lround(tenths * 65536.0 / 10.0)) << gain << " is not a whole tenth of a decibel";
        }
    }
    EXPECT_EQ(RegionCurve(-1), nullptr);
    EXPECT_EQ(RegionCurve(model::kRegionStyleCount), nullptr);
}

TEST(HifiModel, BassAndTrebleDriveTheOuterBands)
{
    // Missing values read as 0: -20 dB on both sides.
    EXPECT_EQ(BassTrebleGains(0, 0), (GainArray{-1310720, -1310720, -1310720, -1310720, 0, 0, 0, -1310720,
                                                -1310720, -1310720}));
    EXPECT_EQ(BassTrebleGains(20, 20), (GainArray{}));
    // The keys reach 52: +32 dB.
    EXPECT_EQ(BassTrebleGains(52, 21), (GainArray{2097152, 2097152, 2097152, 2097152, 0, 0, 0, 65536, 65536, 65536}));
}

TEST(HifiModel, EnvironmentCodesSkipTheUnusedNumbers)
{
    EXPECT_EQ(EnvironmentCode(0), 28);
    EXPECT_EQ(EnvironmentCode(1), 1);   // Generic
    EXPECT_EQ(EnvironmentCode(4), 5);   // Living Room: 4 is skipped
    EXPECT_EQ(EnvironmentCode(7), 9);   // Cave: 8 is skipped
    EXPECT_EQ(EnvironmentCode(20), 22); // Sewer pipe
    EXPECT_EQ(EnvironmentCode(21), 24); // Drugged: 23 is skipped
    EXPECT_EQ(EnvironmentCode(23), 26); // Psychotic
    EXPECT_EQ(EnvironmentCode(24), -1);
    EXPECT_EQ(EnvironmentCode(-1), -1);
}

TEST(HifiModel, PresetNumbersDoNotFollowTheGrid)
{
    EXPECT_EQ(kPresetCellIds[2], 1062); // Dance: second column, third row
    EXPECT_EQ(kPresetCellIds[3], 1058); // Treble: first column, third row
    EXPECT_EQ(PresetCellColumn(1062), 1);
    EXPECT_EQ(PresetCellColumn(1058), 0);
    EXPECT_EQ(PresetCellColumn(1067), 2);
    EXPECT_EQ(PresetCellColumn(1044), -1);
}

TEST(HifiModel, RoomSelectorThirdsLeaveTheDividingRowsOut)
{
    // A 79-pixel selector at 280: third 26, dividing rows 306 and 332.
    EXPECT_EQ(RoomSizeAt(280, 280, 359), 0);
    EXPECT_EQ(RoomSizeAt(305, 280, 359), 0);
    EXPECT_EQ(RoomSizeAt(306, 280, 359), -1);
    EXPECT_EQ(RoomSizeAt(307, 280, 359), 1);
    EXPECT_EQ(RoomSizeAt(331, 280, 359), 1);
    EXPECT_EQ(RoomSizeAt(332, 280, 359), -1);
    EXPECT_EQ(RoomSizeAt(333, 280, 359), 2);
    EXPECT_EQ(RoomSizeAt(358, 280, 359), 2);
}

TEST(HifiModel, PresetNamesAreCheckedLikeTheStoreSeesThem)
{
    EXPECT_EQ(TrimSpaces(L"  Rock  "), L"Rock");
    EXPECT_EQ(TrimSpaces(L"   "), L"");
    EXPECT_EQ(TrimSpaces(L" Soft Rock "), L"Soft Rock");

    const std::vector<std::wstring> listed = {L"Rock", L"Jazz"};
    EXPECT_EQ(CheckPresetName(L"Rock", listed), NameCheck::Duplicate);
    EXPECT_EQ(CheckPresetName(L"rOCK", listed), NameCheck::Duplicate);
    EXPECT_EQ(CheckPresetName(L"Rocks", listed), NameCheck::Ok);
    EXPECT_EQ(CheckPresetName(L"", listed), NameCheck::Invalid);
    // The duplicate test comes first: an empty name with an empty entry.
    EXPECT_EQ(CheckPresetName(L"", {L"Rock", L""}), NameCheck::Duplicate);
    EXPECT_EQ(CheckPresetName(L"Live\\Loud", listed), NameCheck::Invalid);
    EXPECT_EQ(CheckPresetName(std::wstring(255, L'x'), listed), NameCheck::Ok);
    EXPECT_EQ(CheckPresetName(std::wstring(256, L'x'), listed), NameCheck::Invalid);
    EXPECT_EQ(CheckPresetName(L"Électro", {L"électro"}), NameCheck::Duplicate);
}

TEST(HifiModel, WarningsFollowTheLanguage)
{
    EXPECT_STREQ(PresetWarning(NameCheck::Duplicate, model::Language::TraditionalChinese).text, L"此名稱已存在.");
    EXPECT_STREQ(PresetWarning(NameCheck::Duplicate, model::Language::SimplifiedChinese).text, L"此名称已存在.");
    EXPECT_STREQ(PresetWarning(NameCheck::Invalid, model::Language::TraditionalChinese).text, L"請指定一個有效名稱.");
    EXPECT_STREQ(PresetWarning(NameCheck::Invalid, model::Language::SimplifiedChinese).text, L"请指定一个有效名称.");
    EXPECT_STREQ(PresetWarning(NameCheck::Invalid, model::Language::SimplifiedChinese).caption, L"警告");
    EXPECT_STREQ(PresetWarning(NameCheck::Duplicate, model::Language::English).text, L"This name already exists.");
    EXPECT_STREQ(PresetWarning(NameCheck::Invalid, model::Language::English).text, L"Please specify a valid name.");
    EXPECT_STREQ(PresetWarning(NameCheck::Invalid, model::Language::English).caption, L"Warning");
    EXPECT_EQ(PresetWarning(NameCheck::Invalid, std::nullopt).text, nullptr);
}
