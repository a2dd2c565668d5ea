// The wording table of the settings and equalizer files: every text in all
// three languages with the same placeholders, and the reports built from it.
#include "TransferTexts.h"

#include <gtest/gtest.h>

#include <set>

using namespace transfertexts;
using model::Language;

namespace {

constexpr Language kTraditional = Language::TraditionalChinese;
constexpr Language kSimplified = Language::SimplifiedChinese;
constexpr Language kEnglish = Language::English;

std::set<std::wstring> Placeholders(const std::wstring& text)
{
    std::set<std::wstring> found;
    for (size_t at = text.find(L'{'); at != std::wstring::npos; at = text.find(L'{', at + 1)) {
        if (at + 2 < text.size() && text[at + 2] == L'}')
            found.insert(text.substr(at, 3));
    }
    return found;
}

} // namespace

TEST(TransferTexts, EveryTextHasThreeLanguagesWithTheSamePlaceholders)
{
    for (int t = 0; t < static_cast<int>(Text::Count); ++t) {
        const Text text = static_cast<Text>(t);
        // Placeholders shown as themselves when no argument is given.
        const std::wstring raw[3] = {Say(text, kTraditional, {L"{1}", L"{2}", L"{3}", L"{4}"}),
                                     Say(text, kSimplified, {L"{1}", L"{2}", L"{3}", L"{4}"}),
                                     Say(text, kEnglish, {L"{1}", L"{2}", L"{3}", L"{4}"})};
        for (const std::wstring& r : raw)
            EXPECT_FALSE(r.empty()) << "text " << t;
        EXPECT_EQ(Placeholders(raw[0]), Placeholders(raw[2])) << "text " << t;
        EXPECT_EQ(Placeholders(raw[1]), Placeholders(raw[2])) << "text " << t;
    }
    // The menu entries follow the language.
    EXPECT_EQ(Say(Text::MenuImportEqualizer, kTraditional), L"匯入等化器…");
    EXPECT_EQ(Say(Text::MenuImportEqualizer, kSimplified), L"导入均衡器…");
    EXPECT_EQ(Say(Text::MenuImportEqualizer, kEnglish), L"Import equalizer…");
    // A stored number that names no language shows what the pages show then.
    EXPECT_EQ(WordingLanguage(7), kTraditional);
    EXPECT_EQ(WordingLanguage(-1), kTraditional);
    EXPECT_EQ(WordingLanguage(1), kSimplified);
}

TEST(TransferTexts, ReportsNameTheLineAndSayHowManyMoreThereAre)
{
    const settingsfile::ReadResult read = settingsfile::Read(
        "Zephrin settings version 1\n[Hifi]\nEnvironment = 23\n[Hifi]\n[Preset]\nname = a\\b\n");
    ASSERT_EQ(read.issues.size(), 4u);
    EXPECT_EQ(DescribeIssues(read.issues, kEnglish),
              L"Line 3: Environment is outside the range 0 to 22.\n"
              L"Line 4: section [Hifi] appears again (first on line 2).\n"
              L"Line 6: the preset name \"a\\b\" is not valid: it must not be empty, hold a backslash (\\) or "
              L"exceed 255 characters.\n"
              L"Line 5: the preset lacks eq_0, eq_1, eq_2, eq_3, eq_4, eq_5, eq_6, eq_7, eq_8, eq_9.");
    EXPECT_EQ(DescribeIssues(read.issues, kSimplified, 1), L"第 3 行：Environment 超出范围 0 到 22。\n…另有 3 项。");

    const eqfile::Correction c = eqfile::Parse("Preamp: 30 dB\nFilter 1: ON PK Fc 100 Hz Gain 3 dB Q 1\nX\n");
    EXPECT_EQ(DescribeSkipped(c, kEnglish), L"Line 3: not understood: X");
    EXPECT_EQ(DescribeCorrection(c, kEnglish), L"Parametric equalizer file: 1 filters used, preamp +30.0 dB.\n"
                                        L"10 bands were outside the card's range of −20 to +20 dB and were limited.");
    EXPECT_EQ(DescribeBands(c, kEnglish).substr(0, 63),
              L"30 Hz: +20.0 dB (limited from +30.3 dB to the card's range)\n60 ");
}
