// libFuzzer target for the two file formats a person hands the panel, built
// natively for Linux by scripts/fuzz-files (not part of the test suite): the
// same bytes go to the equalizer-file parser and to the settings-file reader.
// Besides the sanitizers' watch, each result must hold what the panel relies
// on: bands within the card's range, and a file the reader accepts (or a
// curve the parser made) coming back unchanged through its own writer.
#include "EqFiles.h"
#include "SettingsFile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

void CheckEqualizer(std::string_view bytes)
{
    const eqfile::Correction c = eqfile::Parse(bytes);
    if (c.skipped.size() > eqfile::kSkippedKept || c.skippedCount < c.skipped.size())
        Fail("skipped-line bookkeeping");
    if (!c.Usable())
        return;
    if (c.used <= 0)
        Fail("a usable curve from nothing");
    for (size_t band = 0; band < eqfile::kBands; ++band) {
        if (!std::isfinite(c.db[band]))
            Fail("a band that is not a number");
        if (c.gains[band] < model::kLowestBandGain || c.gains[band] > model::kHighestBandGain)
            Fail("a band outside the card's range");
        const bool outside = std::llround(c.db[band] * model::kOneDb) != c.gains[band];
        if (outside != c.clamped[band])
            Fail("a clamped mark that does not match the band");
    }
    // The curve written in the graphic format reads back as the same bands.
    const eqfile::Correction back = eqfile::Parse(eqfile::WriteGraphic(c.gains));
    if (!back.Usable() || back.format != eqfile::Format::Graphic || back.gains != c.gains || back.skippedCount != 0)
        Fail("graphic export does not read back");
}

bool Same(const settingsfile::Contents& a, const settingsfile::Contents& b)
{
    if (a.sections != b.sections || a.values != b.values || a.presets.size() != b.presets.size())
        return false;
    for (size_t i = 0; i < a.presets.size(); ++i) {
        if (a.presets[i].name != b.presets[i].name || a.presets[i].gains != b.presets[i].gains ||
            a.presets[i].flag != b.presets[i].flag)
            return false;
    }
    return true;
}

void CheckSettings(std::string_view bytes)
{
    const settingsfile::ReadResult read = settingsfile::Read(bytes);
    if (read.issues.size() > settingsfile::kIssueLimit + 1)
        Fail("more problems kept than the limit");
    if (!read.Accepted())
        return;
    const settingsfile::ReadResult again = settingsfile::Read(settingsfile::Write(read.contents));
    if (!again.Accepted() || !Same(read.contents, again.contents))
        Fail("an accepted settings file does not survive its own writer");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckEqualizer(bytes);
    CheckSettings(bytes);
    return 0;
}
