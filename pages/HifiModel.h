#pragma once
// The numbers of the Hifi page that do not depend on any window: band gains
// and the slider scale, the region-style curves, the built-in preset grid,
// the bass/treble curve, the environment codes, the room selector's thirds
// and the rules for user-preset names with their warning texts.
#include "PresetRules.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hifi {

// The bands and their stored names (the same under subkey Hifi and under
// each user preset's Custom\<name>).
using presets::kBandCount;
using presets::kBandValues;
using GainArray = std::array<int32_t, kBandCount>;

// Band gains are 16.16 fixed-point decibels. A band slider's position is the
// negated gain; its range is deliberately not symmetric, so the reachable
// gains run from -20 dB (bottom) to +1310680 (top).
using presets::kOneDb;
constexpr int32_t kSliderMin = -1310680;
constexpr int32_t kSliderMax = 1310720;
static_assert(kSliderMin == -presets::kHighestGain && kSliderMax == -presets::kLowestGain,
              "the sliders show exactly the gains a preset can hold");
// A stored gain turned into a slider position: negated, then clamped first to
// the maximum and then to the minimum.
int32_t GainToSliderPos(int32_t gain);

// Region styles 0 ... 4; null for any other number.
constexpr int kRegionStyleCount = 5;
const GainArray* RegionCurve(int style);

// Built-in presets 0 ... 11 and their cells. The numbering does not follow
// the grid: Dance (second column, third row) is 2, Treble (first column,
// third row) is 3.
constexpr int kPresetCount = 12;
constexpr std::array<int, kPresetCount> kPresetCellIds = {1045, 1057, 1062, 1058, 1059, 1060,
                                                          1061, 1063, 1064, 1065, 1066, 1067};
// Grid column (0, 1, 2) of a cell id, -1 for other ids.
int PresetCellColumn(int cellId);

// Bass and treble knobs: range 0 ... 52, position 20 is flat; bass drives
// bands 0 to 3, treble bands 7 to 9, bands 4 to 6 stay flat.
constexpr int kKnobMax = 52;
constexpr int kKnobDragLimit = 40;
GainArray BassTrebleGains(int bassPos, int treblePos);

// Environments 0 ... 22. ApplyEnvironment's selector k is 0 for "off" and
// e + 1 for environment e; code 28 means no environment.
constexpr int kEnvironmentCount = 23;
constexpr int32_t kEnvironmentOffCode = 28;
// The code for selector k = 0 ... 23; -1 outside.
int32_t EnvironmentCode(int selector);

// The room size a press at height y selects on a selector spanning
// [top, bottom): the upper, middle or lower third; -1 on the two dividing rows.
int RoomSizeAt(int y, int top, int bottom);

// User presets: the name rules live with the store's idea of a preset.
using presets::NameCheck;
using presets::SameNameIgnoringCase;
using presets::TrimSpaces;
inline NameCheck CheckPresetName(const std::wstring& name, const std::vector<std::wstring>& listed)
{
    return presets::CheckName(name, listed);
}

struct Warning {
    const wchar_t* text;
    const wchar_t* caption;
};
// The warning for a failed check in interface language 0, 1 or 2; null text
// for any other language (no box is shown then).
Warning PresetWarning(NameCheck problem, int language);

} // namespace hifi
