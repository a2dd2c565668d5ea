// The settings file's writer and reader without the registry: what the
// writer makes reads back the same in every line-end and byte-order-mark
// form, and every hostile file is refused with the line of each problem.
#include "SettingsFile.h"
#include "Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace settingsfile;

namespace {

Preset MakePreset(const std::wstring& name, int32_t first, std::optional<int32_t> flag = std::nullopt)
{
    Preset preset;
    preset.name = name;
    for (size_t band = 0; band < preset.gains.size(); ++band)
        preset.gains[band] = first + static_cast<int32_t>(band) * 65536;
    preset.flag = flag;
    return preset;
}

Contents FullContents()
{
    Contents contents;
    contents.sections = {true, true, true};
    const std::vector<ExportedValue>& table = ExportedValues();
    for (size_t v = 0; v < table.size(); ++v)
        contents.values[v] = table[v].high;
    contents.presets.push_back(MakePreset(L"Rock", -1310720, 1));
    contents.presets.push_back(MakePreset(L"耳機 校正 ✓ 𝄞", 7));
    contents.presets.push_back(MakePreset(L"a=b # [not a section]", 0, 0));
    return contents;
}

void ExpectSame(const Contents& a, const Contents& b)
{
    EXPECT_EQ(a.sections, b.sections);
    EXPECT_EQ(a.values, b.values);
    ASSERT_EQ(a.presets.size(), b.presets.size());
    for (size_t i = 0; i < a.presets.size(); ++i) {
        EXPECT_EQ(a.presets[i].name, b.presets[i].name);
        EXPECT_EQ(a.presets[i].gains, b.presets[i].gains);
        EXPECT_EQ(a.presets[i].flag, b.presets[i].flag);
    }
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A valid file with one preset whose lines can be edited by the tests:
// line 1 header, 3 [CPL], 4 language, 6 [Hifi], 7 Bass, 9 [Preset], 10 name,
// 11 ... 20 the bands, 21 flag.
std::string SmallFile()
{
    std::string text =
        "Zephrin settings version 1\n\n[CPL]\nlanguage = 1\n\n[Hifi]\nBass = 20\n\n[Preset]\nname = Mine\n";
    for (int band = 0; band < 10; ++band)
        text += "eq_" + std::to_string(band) + " = " + std::to_string(band * 1000) + "\n";
    return text + "flag = 1\n";
}

struct Expected {
    int line;
    Problem problem;
};

void ExpectRefused(const std::string& bytes, std::vector<Expected> expected, const char* what)
{
    SCOPED_TRACE(what);
    const ReadResult result = Read(bytes);
    ASSERT_EQ(result.issues.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(result.issues[i].line, expected[i].line) << "issue " << i;
        EXPECT_EQ(result.issues[i].problem, expected[i].problem) << "issue " << i;
    }
}

} // namespace

TEST(SettingsFile, WhatTheWriterMakesReadsBackTheSameInEveryLineEndAndWithOrWithoutAByteOrderMark)
{
    const Contents contents = FullContents();
    const std::string written = Write(contents);
    ASSERT_EQ(written.rfind("Zephrin settings version 1\r\n", 0), 0u);
    EXPECT_EQ(written.find('\n'), written.find("\r\n") + 1) << "CRLF line ends";

    const std::string lf = Replace(written, "\r\n", "\n");
    for (const std::string& form : {written, lf, std::string(utf8::kByteOrderMark) + written,
                                    std::string(utf8::kByteOrderMark) + lf, lf.substr(0, lf.size() - 1)}) {
        const ReadResult read = Read(form);
        ASSERT_TRUE(read.Accepted()) << read.issues.front().line;
        ExpectSame(contents, read.contents);
    }

    // A subkey without values is still a section; a value not stored is not written.
    Contents sparse;
    sparse.sections = {true, false, true};
    const std::string sparseText = Write(sparse);
    EXPECT_NE(sparseText.find("[CPL]"), std::string::npos);
    EXPECT_EQ(sparseText.find("[Hifi]"), std::string::npos);
    EXPECT_EQ(sparseText.find("language"), std::string::npos);
    ExpectSame(sparse, Read(sparseText).contents);
}

TEST(SettingsFile, TheFileCarriesEveryNumberTheStoreKeepsInItsSubkeysAndNothingElse)
{
    // A value added to the store's table is carried by the file, or this fails.
    std::vector<std::pair<std::wstring, std::wstring>> numbers;
    for (const settings::StoredValue& value : settings::Table()) {
        if (value.kind == settings::ValueKind::Int)
            numbers.emplace_back(value.subkey, value.name);
    }
    std::vector<std::pair<std::wstring, std::wstring>> carried;
    for (const ExportedValue& value : ExportedValues()) {
        carried.emplace_back(kSections[value.section], value.name);
        EXPECT_NE(std::wstring(kSections[value.section]), L"Info");
    }
    std::sort(numbers.begin(), numbers.end());
    std::sort(carried.begin(), carried.end());
    EXPECT_EQ(carried, numbers);
}

TEST(SettingsFile, EveryValueOfTheTableIsTakenAtItsEndsAndRefusedJustBeyond)
{
    const std::vector<ExportedValue>& table = ExportedValues();
    ASSERT_EQ(table.size(), 23u); // language, 21 Hifi values, DigitalOutSr
    for (const ExportedValue& value : table) {
        const std::string section = utf8::Encode(kSections[value.section]);
        const std::string name = utf8::Encode(value.name);
        SCOPED_TRACE(name);
        const auto file = [&](int64_t number) {
            return "Zephrin settings version 1\n[" + section + "]\n" + name + " = " + std::to_string(number) + "\n";
        };
        EXPECT_TRUE(Read(file(value.low)).Accepted());
        EXPECT_TRUE(Read(file(value.high)).Accepted());
        ExpectRefused(file(int64_t{value.low} - 1), {{3, Problem::OutOfRange}}, "below");
        ExpectRefused(file(int64_t{value.high} + 1), {{3, Problem::OutOfRange}}, "above");
    }
    const ReadResult result = Read("Zephrin settings version 1\n[Hifi]\nEnvironment = 23\n");
    ASSERT_EQ(result.issues.size(), 1u);
    EXPECT_EQ(result.issues[0].subject, L"Environment");
    EXPECT_EQ(result.issues[0].low, 0);
    EXPECT_EQ(result.issues[0].high, 22);
}

TEST(SettingsFile, HostileFilesAreRefusedWithTheLineOfTheirProblem)
{
    const std::string good = SmallFile();
    ASSERT_TRUE(Read(good).Accepted());
    ExpectRefused("", {{0, Problem::Empty}}, "empty");
    ExpectRefused(std::string(utf8::kByteOrderMark), {{0, Problem::Empty}}, "only a byte order mark");
    ExpectRefused(std::string(kMaxFileBytes + 1, '#'), {{0, Problem::TooLarge}}, "over 1 MB");
    ExpectRefused(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {{1, Problem::NotSettingsFile}}, "binary");
    ExpectRefused(Replace(good, "version 1", "version 2"), {{1, Problem::UnsupportedVersion}}, "version 2");
    ExpectRefused("Preamp: -6 dB\nFilter 1: ON PK Fc 100 Hz Gain 3 dB Q 1\n", {{1, Problem::NotSettingsFile}},
                  "an equalizer file");
    ExpectRefused(Replace(good, "[Hifi]", "[Hifi]\n[CPL]\nlanguage = 2"), {{7, Problem::DuplicateSection}},
                  "a section twice");
    ExpectRefused(Replace(good, "[Hifi]", "[hifi"), {{6, Problem::Syntax}}, "an open bracket");
    ExpectRefused(Replace(good, "[Hifi]", "[Info]\nDriverVer = 1"), {{6, Problem::UnknownSection}},
                  "the Info subkey is not the file's");
    ExpectRefused(Replace(good, "\n\n[CPL]", "\nlanguage = 2\n[CPL]"), {{2, Problem::ValueOutsideSection}},
                  "a value before any section");
    ExpectRefused(Replace(good, "Bass = 20", "Loudness = 1"), {{7, Problem::UnknownValue}}, "an unknown value");
    ExpectRefused(Replace(good, "Bass = 20", "Bass = 20\nbass = 21"), {{8, Problem::DuplicateValue}},
                  "a value twice");
    for (const char* notWhole : {"1.5", "", "0x10", "7 8", "- 3", "twenty"})
        ExpectRefused(Replace(good, "Bass = 20", std::string("Bass = ") + notWhole), {{7, Problem::NotANumber}},
                      notWhole);
    ExpectRefused(Replace(good, "Bass = 20", "Bass = 99999999999999999999"), {{7, Problem::OutOfRange}},
                  "a number beyond 64 bits");
    ExpectRefused(Replace(good, "language = 1", "language = 1\xC3\x28"), {{4, Problem::NotText}}, "bad UTF-8");
    ExpectRefused(Replace(good, "language = 1", std::string("language = 1\0", 13)), {{4, Problem::NotText}},
                  "a null byte");
}

TEST(SettingsFile, PresetsAreRefusedByTheNameRulesOfTheHifiPageAndNeedAllTenBands)
{
    const std::string good = SmallFile();
    ExpectRefused(Replace(good, "name = Mine", "name = Live\\Loud"), {{10, Problem::InvalidPresetName}}, "backslash");
    ExpectRefused(Replace(good, "name = Mine", "name =    "), {{10, Problem::InvalidPresetName}}, "only spaces");
    ExpectRefused(Replace(good, "name = Mine", "name = " + std::string(256, 'x')),
                  {{10, Problem::InvalidPresetName}}, "256 characters");
    EXPECT_TRUE(Read(Replace(good, "name = Mine", "name = " + std::string(255, 'x'))).Accepted());
    // 128 characters beyond the first plane are 256 UTF-16 units: one too many.
    std::string clefs;
    for (int i = 0; i < 128; ++i)
        clefs += "\xF0\x9D\x84\x9E";
    ExpectRefused(Replace(good, "name = Mine", "name = " + clefs), {{10, Problem::InvalidPresetName}}, "clefs");
    EXPECT_TRUE(Read(Replace(good, "name = Mine", "name = " + clefs.substr(4))).Accepted());

    // Trimmed as the page trims its name box, and compared without case as
    // the store compares key names.
    const ReadResult trimmed = Read(Replace(good, "name = Mine", "name =   Soft Rock  "));
    ASSERT_TRUE(trimmed.Accepted());
    EXPECT_EQ(trimmed.contents.presets[0].name, L"Soft Rock");
    const std::string preset = good.substr(good.find("[Preset]"));
    ExpectRefused(good + Replace(preset, "name = Mine", "name = mINE"), {{23, Problem::DuplicatePresetName}},
                  "a name twice in another case");

    ExpectRefused(Replace(good, "eq_4 = 4000\n", ""), {{9, Problem::MissingBands}}, "a band missing");
    EXPECT_EQ(Read(Replace(good, "eq_4 = 4000\neq_5 = 5000\n", "")).issues[0].subject, L"eq_4, eq_5");
    ExpectRefused(Replace(good, "name = Mine\n", ""), {{9, Problem::MissingPresetName}}, "no name");
    ExpectRefused(Replace(good, "flag = 1", "flag = 2"), {{21, Problem::OutOfRange}}, "flag 2");
    ExpectRefused(Replace(good, "eq_9 = 9000", "eq_9 = 1310720"), {{20, Problem::OutOfRange}},
                  "+20 dB, above the sliders' top");
    EXPECT_TRUE(Read(Replace(good, "eq_9 = 9000", "eq_9 = -1310720")).Accepted());
}

TEST(SettingsFile, EveryProblemIsReportedNotOnlyTheFirstAndAFloodEndsTheReading)
{
    const std::string good = SmallFile();
    const std::string bad =
        Replace(Replace(Replace(good, "language = 1", "language = 9"), "Bass = 20", "Bas = 20"), "flag = 1", "flag");
    ExpectRefused(bad, {{4, Problem::OutOfRange}, {7, Problem::UnknownValue}, {21, Problem::Syntax}}, "three");

    std::string flood = "Zephrin settings version 1\n";
    for (int i = 0; i < 5000; ++i)
        flood += "?\n";
    const ReadResult result = Read(flood);
    ASSERT_EQ(result.issues.size(), kIssueLimit + 1);
    EXPECT_EQ(result.issues.back().problem, Problem::TooManyProblems);
}

TEST(SettingsFile, OnlyNamesThatComeBackUnchangedAreCarried)
{
    EXPECT_TRUE(NameFitsFile(L"Rock"));
    EXPECT_TRUE(NameFitsFile(L"耳機 ✓"));
    EXPECT_FALSE(NameFitsFile(L" Rock"));   // a reader trims it
    EXPECT_FALSE(NameFitsFile(L"Rock\t"));  // likewise
    EXPECT_FALSE(NameFitsFile(L"a\x01z"));  // not text in a file
    EXPECT_FALSE(NameFitsFile(L"a\\b"));    // refused by the name rules
    EXPECT_FALSE(NameFitsFile(std::wstring(256, L'x')));
}
