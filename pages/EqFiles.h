#pragma once
// The two plain-text equalizer formats headphone corrections are shared in,
// turned into the ten band gains of a user preset, and a preset written back
// in the graphic one. Free of any window so it is tested and fuzzed directly.
//
// Parametric:  Preamp: -6.1 dB
//              Filter 1: ON PK Fc 105 Hz Gain -5.2 dB Q 0.70
//              Filter 2: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.71    (HSC likewise)
// The correction at a band is the preamp plus the sum of the filters'
// magnitude responses (peaking, low and high shelf biquads at 48 kHz). LS
// and HS are taken as shelves too; a shelf without Q gets 1/sqrt(2), a
// peaking filter without Q is skipped; filters switched OFF are skipped.
//
// Graphic:     GraphicEQ: 20 -3.1; 21 -3.0; ...; 19871 -4.2
// The gain at a band is interpolated linearly over the logarithm of the
// frequency between the two points around it; below the first point and
// above the last the end point's gain holds.
//
// Every line that is not used is listed with its reason, never dropped
// silently; each band is clamped to what the card's sliders can hold.
#include "PanelModel.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace eqfile {

constexpr size_t kBands = model::kBandCount;
using Gains = std::array<int32_t, kBands>;
// The card's band frequencies in hertz, in band order.
inline constexpr std::array<double, kBands> kBandHz = {30, 60, 120, 250, 500, 1000, 2000, 4000, 8000, 16000};

// Sample rate the filters are designed for.
constexpr double kSampleRate = 48000.0;
// Larger files are refused unread.
constexpr size_t kMaxFileBytes = 1024 * 1024;
// Limits of what is taken from a file; a value outside is reported.
constexpr double kLowestFrequency = 1.0;       // Hz, filters and points
constexpr double kHighestFilterFrequency = 24000.0; // filters: below half the sample rate
constexpr double kHighestPointFrequency = 100000.0;
constexpr double kLargestGain = 96.0; // dB, either way, filters, points and preamp
constexpr double kLowestQ = 0.01;
constexpr double kHighestQ = 100.0;
// A shelf given without Q.
constexpr double kShelfQ = 0.70710678118654752;

enum class Format { Parametric, Graphic };

enum class Skip {
    NotUnderstood,        // detail: the start of the line
    FilterOff,            // a filter switched OFF
    UnsupportedType,      // detail: the filter type
    UnsupportedParameter, // detail: the parameter
    MissingParameter,     // detail: Fc, Gain or Q
    OutOfRange,           // detail: Fc, Gain, Q, Preamp, or the point
    BadPoint,             // detail: the point as written
    ReplacedPoint,        // detail: the point replaced by a later one at its frequency
    SecondGraphicLine,
    FilterInGraphicFile,
};

struct SkippedLine {
    int line = 0;
    Skip reason = Skip::NotUnderstood;
    std::wstring detail;
};

enum class Refusal { None, TooLarge, Empty, NothingUsable };

struct Correction {
    Refusal refusal = Refusal::None;
    Format format = Format::Parametric;
    double preampDb = 0;
    int used = 0; // filters or points that went into the curve
    std::array<double, kBands> db{}; // the correction at each band, before clamping
    Gains gains{};                   // 16.16 dB, clamped
    std::array<bool, kBands> clamped{};
    std::vector<SkippedLine> skipped; // the first kSkippedKept of them
    size_t skippedCount = 0;          // all of them
    bool Usable() const { return refusal == Refusal::None; }
};
constexpr size_t kSkippedKept = 200;

Correction Parse(std::string_view bytes);

// One line: "GraphicEQ: 30 g0; 60 g1; ...; 16000 g9" with each gain in dB in
// as few decimals as bring back the exact stored gain.
std::string WriteGraphic(const Gains& gains);

enum class FilterKind { Peaking, LowShelf, HighShelf };
// The magnitude response in dB at `hz` of one biquad designed at kSampleRate.
double ResponseDb(FilterKind kind, double fc, double gainDb, double q, double hz);

// A gain in dB as shown to a person: rounded to 0.1, "-0.0" shown as "0.0".
std::wstring ShowDb(double db);

} // namespace eqfile
