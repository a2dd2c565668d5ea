#pragma once
// The numbers of the Hifi page that do not depend on any window: band gains
// and the slider scale, the region-style curves, the built-in preset grid,
// the bass/treble curve, the environment codes, the room selector's thirds
// and the rules for user-preset names with their warning texts.
#include "PanelModel.h"
#include "PresetRules.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hifi {

using GainArray = std::array<int32_t, model::kBandCount>;

// A band slider's position is the negated gain (the top of a vertical slider
// is its minimum).
constexpr int32_t kSliderMin = -model::kHighestBandGain;
constexpr int32_t kSliderMax = -model::kLowestBandGain;
// A stored gain turned into a slider position: negated, then clamped first to
// the maximum and then to the minimum.
int32_t GainToSliderPos(int32_t gain);

// Region styles 0 ... 4; null for any other number.
const GainArray* RegionCurve(int style);

// Built-in presets 0 ... 11 and their cells. The numbering does not follow
// the grid: Dance (second column, third row) is 2, Treble (first column,
// third row) is 3.
constexpr std::array<int, model::kPresetCount> kPresetCellIds = {1045, 1057, 1062, 1058, 1059, 1060,
                                                                 1061, 1063, 1064, 1065, 1066, 1067};
// Grid column (0, 1, 2) of a cell id, -1 for other ids.
int PresetCellColumn(int cellId);

// Bass and treble knobs: range 0 ... model::kToneKnobMax, position 20 is flat;
// bass drives bands 0 to 3, treble bands 7 to 9, bands 4 to 6 stay flat.
constexpr int kKnobDragLimit = 40;
GainArray BassTrebleGains(int bassPos, int treblePos);

// Environments 0 ... 22. ApplyEnvironment's selector k is 0 for "off" and
// e + 1 for environment e; code 28 means no environment.
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
// The warning for a failed check in the interface language; null text
// without a language (no box is shown then).
Warning PresetWarning(NameCheck problem, std::optional<model::Language> language);

} // namespace hifi
