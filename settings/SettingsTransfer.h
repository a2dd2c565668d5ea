#pragma once
// The settings file joined to the store: what an export reads from the
// registry and what an import writes into it, only through the store's own
// operations and only under the root key. The Info values are never read nor
// written here.
#include "SettingsFile.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace settingstransfer {

// A stored value or preset an export cannot carry.
struct LeftOut {
    enum class Reason { OutOfRange, NameNotCarried };
    Reason reason;
    std::wstring where; // "Hifi\Environment", or the preset's name
    std::wstring stored; // the stored text of a value
};

struct Exported {
    settingsfile::Contents contents;
    std::vector<LeftOut> leftOut;
};

// Everything an export writes: the values of the table that are stored, as
// the panel reads them (bands and knobs clamped as the panel clamps them on
// loading; any other value outside its range is left out), and every user
// preset whose name can be carried.
Exported ReadFromStore();

// The presets of `contents` whose names exist in the store already (in any
// letter case).
std::vector<std::wstring> PresetsAlreadyStored(const settingsfile::Contents& contents);

enum class ExistingPresets { Replace, Skip };

struct Written {
    int values = 0;   // settings values written
    int presets = 0;  // presets written, replaced ones included
    int replaced = 0; // presets written over one of the same name
    int skipped = 0;  // presets kept as they were
    int failed = 0;   // values that did not read back as written
};

// Writes exactly what the file holds: each section's subkey (created where
// missing, also without values), each value, each preset as Custom\<name>
// (a replaced preset is removed first, so it ends up exactly as in the file).
// When a preset written carries flag 1, every other stored preset's flag 1
// becomes 0, as choosing a preset does: the chosen preset is the file's.
Written WriteToStore(const settingsfile::Contents& contents, ExistingPresets existing);

// The user presets' names, in the store's order.
std::vector<std::wstring> StoredPresetNames();
// A preset's bands as the panel sends them when it is chosen (a missing band
// reads 0, a band beyond the sliders is clamped); nothing when the preset is
// not stored.
std::optional<std::array<int32_t, model::kBandCount>> ReadPreset(const std::wstring& name);
// Stores a new preset (not chosen: flag 0); true when every value reads back.
bool WritePreset(const std::wstring& name, const std::array<int32_t, model::kBandCount>& gains);

} // namespace settingstransfer
