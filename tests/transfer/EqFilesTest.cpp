// The equalizer-file parser on its own: which lines it uses and which it
// lists as skipped with their reason, the shapes of its filters, the graphic
// curve between and beyond its points, clamping to the card, refusals, and
// the graphic export reading back as the same bands.
#include "EqFiles.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace eqfile;

namespace {

constexpr double kStep = 1.0 / model::kOneDb; // one 16.16 step, in dB

std::vector<std::pair<int, Skip>> SkippedOf(const Correction& c)
{
    std::vector<std::pair<int, Skip>> out;
    for (const SkippedLine& s : c.skipped)
        out.emplace_back(s.line, s.reason);
    return out;
}

double GainDb(const Correction& c, size_t band)
{
    return static_cast<double>(c.gains[band]) / model::kOneDb;
}

} // namespace

TEST(EqFiles, FilterShapesHaveTheirGainWhereTheShapeDefinesIt)
{
    // A peaking filter reaches its gain at its centre; a low shelf at the
    // lowest frequencies, a high shelf at half the sample rate; all three are
    // flat far away from where they act.
    EXPECT_NEAR(ResponseDb(FilterKind::Peaking, 1000, -7.5, 2.0, 1000), -7.5, 1e-9);
    EXPECT_NEAR(ResponseDb(FilterKind::Peaking, 1000, 6, 4.0, 16000), 0, 0.05);
    EXPECT_NEAR(ResponseDb(FilterKind::LowShelf, 200, 5, kShelfQ, 1), 5, 1e-3);
    EXPECT_NEAR(ResponseDb(FilterKind::LowShelf, 200, 5, kShelfQ, 16000), 0, 0.01);
    EXPECT_NEAR(ResponseDb(FilterKind::HighShelf, 4000, -4, kShelfQ, 23999.9), -4, 1e-3);
    EXPECT_NEAR(ResponseDb(FilterKind::HighShelf, 4000, -4, kShelfQ, 30), 0, 0.01);
    // A shelf at Q = 1/sqrt(2) is half its gain in dB at its corner.
    EXPECT_NEAR(ResponseDb(FilterKind::LowShelf, 300, 8, kShelfQ, 300), 4, 1e-9);
}

TEST(EqFiles, AParametricFileUsesItsFiltersAndListsEveryLineItCannotUse)
{
    const Correction c = Parse("# measured at the ear\r\n"
                               "Preamp: -3 dB\r\n"
                               "Filter 1: ON PK Fc 1000 Hz Gain -6.0 dB Q 1.41\r\n"
                               "Filter 2: OFF PK Fc 3000 Hz Gain 9 dB Q 1\r\n"
                               "Filter 3: ON LP Fc 18000 Hz\r\n"
                               "Filter 4: ON PK Fc 200 Hz Gain 2 dB\r\n"
                               "Filter 5: ON LS Fc 100Hz Gain 4dB\r\n"
                               "Filter 6: ON PK Fc 500 Hz Gain 2 dB BW Oct 1\r\n"
                               "Filter 7: ON PK Fc 25 kHz Gain 2 dB Q 1\r\n"
                               "Filter 8: ON HSC Fc 8000 Hz Gain 120 dB Q 0.7\r\n"
                               "Channel: L\r\n"
                               "Preamp: -1.5 dB\r\n"
                               "Filter 9: ON PK Fc 1000 Hz Gain -6.0 dB Q 0\r\n"
                               "Filter: ON HSC Fc 1.2 kHz Gain -1 dB Q 0.71\r\n"
                               "\r\n");
    ASSERT_TRUE(c.Usable());
    EXPECT_EQ(c.format, Format::Parametric);
    EXPECT_EQ(c.used, 3); // filters 1, 5 and the unnumbered one
    EXPECT_DOUBLE_EQ(c.preampDb, -4.5);
    const std::vector<std::pair<int, Skip>> expected = {
        {4, Skip::FilterOff},      {5, Skip::UnsupportedType},      {6, Skip::MissingParameter},
        {8, Skip::UnsupportedParameter}, {9, Skip::OutOfRange}, {10, Skip::OutOfRange},
        {11, Skip::NotUnderstood}, {13, Skip::OutOfRange}};
    EXPECT_EQ(SkippedOf(c), expected);
    EXPECT_EQ(c.skipped[1].detail, L"LP");
    EXPECT_EQ(c.skipped[2].detail, L"Q");
    EXPECT_EQ(c.skipped[3].detail, L"BW");
    EXPECT_EQ(c.skipped[4].detail, L"Fc");
    EXPECT_EQ(c.skipped[5].detail, L"Gain");
    EXPECT_EQ(c.skipped[6].detail, L"Channel: L");

    for (size_t band = 0; band < kBands; ++band) {
        const double hz = kBandHz[band];
        const double expectedDb = -4.5 + ResponseDb(FilterKind::Peaking, 1000, -6, 1.41, hz) +
                                  ResponseDb(FilterKind::LowShelf, 100, 4, kShelfQ, hz) +
                                  ResponseDb(FilterKind::HighShelf, 1200, -1, 0.71, hz);
        EXPECT_NEAR(c.db[band], expectedDb, 1e-9) << hz;
        EXPECT_NEAR(GainDb(c, band), expectedDb, kStep / 2 + 1e-12) << hz;
        EXPECT_FALSE(c.clamped[band]);
    }
}

TEST(EqFiles, BandsBeyondTheCardAreClampedToWhatTheSlidersHoldAndMarked)
{
    const Correction c = Parse("Preamp: 12 dB\nFilter 1: ON LSC Fc 200 Hz Gain 15 dB Q 0.7\n"
                               "Filter 2: ON HSC Fc 6000 Hz Gain -40 dB Q 0.7\n");
    ASSERT_TRUE(c.Usable());
    EXPECT_GT(c.db[0], 20);
    EXPECT_EQ(c.gains[0], model::kHighestBandGain);
    EXPECT_TRUE(c.clamped[0]);
    EXPECT_LT(c.db[9], -20);
    EXPECT_EQ(c.gains[9], model::kLowestBandGain);
    EXPECT_TRUE(c.clamped[9]);
    EXPECT_FALSE(c.clamped[5]);
}

TEST(EqFiles, AGraphicCurveIsInterpolatedOnALogScaleAndHeldBeyondItsEnds)
{
    // Unsorted points, a point given twice (the later holds), a bad point and
    // a point out of range; 250 Hz lies halfway between 125 and 500 Hz on a
    // log scale, 60 and 30 Hz below the first point, 16 kHz beyond the last.
    const Correction c = Parse("\xEF\xBB\xBFGraphicEQ: 500 6; 125 -2; 1000 1; 1000 3; 8000 -1.5; 9000 -1.5; "
                               "abc; 2000 4 5; 4000 200; 12000 2;;\n"
                               "Preamp: -1 dB\n"
                               "GraphicEQ: 30 9\n");
    ASSERT_TRUE(c.Usable());
    EXPECT_EQ(c.format, Format::Graphic);
    EXPECT_EQ(c.used, 6);
    const std::vector<std::pair<int, Skip>> expected = {{1, Skip::BadPoint},
                                                        {1, Skip::BadPoint},
                                                        {1, Skip::OutOfRange},
                                                        {1, Skip::ReplacedPoint},
                                                        {3, Skip::SecondGraphicLine}};
    EXPECT_EQ(SkippedOf(c), expected);
    EXPECT_EQ(c.skipped[3].detail, L"1000 1");
    const double expectedDb[kBands] = {-2 - 1,
                                       -2 - 1,
                                       -2 - 1,
                                       2 - 1, // halfway from -2 at 125 to 6 at 500
                                       6 - 1,
                                       3 - 1,
                                       3 + (-1.5 - 3) / 3 - 1, // a third of the way from 1 k to 8 k
                                       3 + (-1.5 - 3) * 2 / 3 - 1,
                                       -1.5 - 1,
                                       2 - 1};
    for (size_t band = 0; band < kBands; ++band)
        EXPECT_NEAR(c.db[band], expectedDb[band], 1e-9) << kBandHz[band];

    // One point makes a flat curve.
    const Correction flat = Parse("GraphicEQ: 1000 -4.25");
    ASSERT_TRUE(flat.Usable());
    for (int32_t gain : flat.gains)
        EXPECT_EQ(gain, -4 * model::kOneDb - model::kOneDb / 4);
}

TEST(EqFiles, FilterLinesInAGraphicFileAreListedNotMixedIn)
{
    const Correction c = Parse("Filter 1: ON PK Fc 100 Hz Gain 9 dB Q 1\nGraphicEQ: 20 0; 20000 0\n"
                               "Filter 2: ON PK Fc 100 Hz Gain 9 dB Q 1\n");
    ASSERT_TRUE(c.Usable());
    const std::vector<std::pair<int, Skip>> expected = {{1, Skip::FilterInGraphicFile},
                                                        {3, Skip::FilterInGraphicFile}};
    EXPECT_EQ(SkippedOf(c), expected);
    for (int32_t gain : c.gains)
        EXPECT_EQ(gain, 0);
}

TEST(EqFiles, AFileWithNothingUsableIsRefusedWithItsReason)
{
    EXPECT_EQ(Parse("").refusal, Refusal::Empty);
    EXPECT_EQ(Parse("\xEF\xBB\xBF \r\n\t\n").refusal, Refusal::Empty);
    EXPECT_EQ(Parse(std::string(kMaxFileBytes + 1, ' ')).refusal, Refusal::TooLarge);
    const Correction onlyPreamp = Parse("Preamp: -6.1 dB\n");
    EXPECT_EQ(onlyPreamp.refusal, Refusal::NothingUsable);
    EXPECT_TRUE(onlyPreamp.skipped.empty());
    const Correction allOff =
        Parse("Filter 1: OFF PK Fc 100 Hz Gain 3 dB Q 1\nFilter 2: OFF PK Fc 200 Hz Gain 3 dB Q 1\n");
    EXPECT_EQ(allOff.refusal, Refusal::NothingUsable);
    EXPECT_EQ(allOff.skippedCount, 2u);
    EXPECT_EQ(Parse("GraphicEQ: x y; 0 3; -5 1\n").refusal, Refusal::NothingUsable);
    EXPECT_EQ(Parse("GraphicEQ:\n").refusal, Refusal::NothingUsable);

    // A binary file: every line is listed (the first ones kept), none used.
    std::string binary;
    for (int i = 0; i < 3000; ++i)
        binary += std::string("\x7F" "ELF\x02\x01\x01\0\0\n", 10);
    const Correction junk = Parse(binary);
    EXPECT_EQ(junk.refusal, Refusal::NothingUsable);
    EXPECT_EQ(junk.skippedCount, 3000u);
    EXPECT_EQ(junk.skipped.size(), kSkippedKept);
}

TEST(EqFiles, APresetWrittenInTheGraphicFormatReadsBackAsTheSameBands)
{
    const Gains curve = {-327680, 0, 1, -1, model::kLowestBandGain, model::kHighestBandGain,
                         12345, -98765, 32768, 6554};
    const std::string text = WriteGraphic(curve);
    EXPECT_EQ(text.substr(0, 29), "GraphicEQ: 30 -5; 60 0; 120 0");
    EXPECT_NE(text.find("; 500 -20; 1000 19.99939; "), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const Correction back = Parse(text);
    ASSERT_TRUE(back.Usable());
    EXPECT_EQ(back.gains, curve);
    EXPECT_EQ(back.skippedCount, 0u);
}
