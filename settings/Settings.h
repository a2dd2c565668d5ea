#pragma once
// Every value the panel keeps, each name written once beside its subkey, with
// typed reads and writes. Code names a value (settings::kLanguage) instead of
// spelling its subkey and name; Table() lists them all for code that goes
// through every value.
//
// Values live under HKLM\Software\Marvolin\VANTIR\ as text: numbers as their
// decimal text, read as SettingsStore.h's ReadRegInt reads them (a missing
// value reads as 0, a missing text as empty). The setups create the subkeys;
// a write into a missing subkey keeps nothing.
#include "PanelModel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

class CComboBox;

namespace settings {

// ---------------------------------------------------------------------------
// The subkeys.

inline constexpr wchar_t kCplSubkey[] = L"CPL";
inline constexpr wchar_t kHifiSubkey[] = L"Hifi";
inline constexpr wchar_t kDigitalSubkey[] = L"Digital";
inline constexpr wchar_t kInfoSubkey[] = L"Info";

// A number kept as decimal text; minimum ... maximum are the numbers the panel
// writes (the store may hold any text, which reads as some number).
struct IntValue {
    const wchar_t* subkey;
    const wchar_t* name;
    int minimum;
    int maximum;
};
// A text the panel only reads.
struct TextValue {
    const wchar_t* subkey;
    const wchar_t* name;
};

// ---------------------------------------------------------------------------
// The values.

// The interface language, a model::Language number.
inline constexpr IntValue kLanguage{kCplSubkey, L"language", 0, model::kLanguageCount - 1};

// The digital output: 0 off, 1 ... 4 on at one of the four rate positions.
inline constexpr IntValue kDigitalOutput{kDigitalSubkey, L"DigitalOutSr", 0, 4};

// The Hifi page. The page reads them together (ReadHifi).
inline constexpr IntValue kHifiOn{kHifiSubkey, L"isDrySoundOn", 0, 1}; // the master switch
inline constexpr IntValue kToneGroup{kHifiSubkey, L"InitialButtonOn", -1, 3}; // a model::ToneGroup number
inline constexpr IntValue kRegionStyle{kHifiSubkey, L"RegionStyle", 0, model::kRegionStyleCount - 1};
inline constexpr IntValue kEqPreset{kHifiSubkey, L"EQPreset", 0, model::kPresetCount - 1};
// 1 while a user preset is chosen in the preset list.
inline constexpr IntValue kCustomPresetChosen{kHifiSubkey, L"Customize", 0, 1};
inline constexpr IntValue kBass{kHifiSubkey, L"Bass", 0, model::kToneKnobMax};
inline constexpr IntValue kTreble{kHifiSubkey, L"Treble", 0, model::kToneKnobMax};
inline constexpr IntValue kEnvironmentOn{kHifiSubkey, L"ENVEnable", 0, 1};
inline constexpr IntValue kEnvironment{kHifiSubkey, L"Environment", 0, model::kEnvironmentCount - 1};
inline constexpr IntValue kRoomOn{kHifiSubkey, L"RoomEnable", 0, 1};
inline constexpr IntValue kRoomSize{kHifiSubkey, L"RoomSize", 0, model::kRoomSizeCount - 1};
// The band gains in band order; a user preset keeps its bands under the same
// names (kPresetBands).
inline constexpr std::array<const wchar_t*, model::kBandCount> kBandNames = {
    L"eq_0", L"eq_1", L"eq_2", L"eq_3", L"eq_4", L"eq_5", L"eq_6", L"eq_7", L"eq_8", L"eq_9"};
inline constexpr std::array<IntValue, model::kBandCount> kBands = [] {
    std::array<IntValue, model::kBandCount> bands{};
    for (int i = 0; i < model::kBandCount; ++i)
        bands[static_cast<size_t>(i)] = {kHifiSubkey, kBandNames[static_cast<size_t>(i)], model::kLowestBandGain,
                                         model::kHighestBandGain};
    return bands;
}();

// The versions the Info page shows, written by the setups.
inline constexpr TextValue kDriverVersion{kInfoSubkey, L"DriverVer"};
inline constexpr TextValue kPanelVersion{kInfoSubkey, L"CPLVer"};

int Read(const IntValue& value);
// False (and nothing kept) when the value's subkey does not exist.
bool Write(const IntValue& value, int number);
std::wstring Read(const TextValue& value);

// ---------------------------------------------------------------------------
// Every value above, for code that goes through them all: by subkey (CPL,
// Digital, Hifi, Info), each subkey's values in the order above. Rows of one
// subkey share its k...Subkey pointer.

enum class ValueKind { Int, Text };
struct StoredValue {
    const wchar_t* subkey;
    const wchar_t* name;
    ValueKind kind;
    int minimum; // Int: the numbers the panel writes
    int maximum;

    constexpr StoredValue(const IntValue& v) : subkey(v.subkey), name(v.name), kind(ValueKind::Int),
                                               minimum(v.minimum), maximum(v.maximum) {}
    constexpr StoredValue(const TextValue& v) : subkey(v.subkey), name(v.name), kind(ValueKind::Text),
                                                minimum(0), maximum(0) {}
};
std::span<const StoredValue> Table();

// ---------------------------------------------------------------------------
// The Hifi page's values, read together with one opening of the subkey, as
// the page means them.

struct HifiSettings {
    bool on = false;                         // isDrySoundOn is 1
    std::optional<model::ToneGroup> toneGroup; // none: a number that names no group
    int regionStyle = 0;                     // as stored; outside the styles none is lit
    int eqPreset = 0;                        // as stored; the card is given any number
    bool customPresetChosen = false;         // Customize is not 0
    std::array<int32_t, model::kBandCount> bands{};
    int bass = 0; // as stored; the knobs keep them in their range
    int treble = 0;
    bool environmentOn = false; // ENVEnable is 1
    int environment = 0;        // as stored
    bool roomOn = false;        // RoomEnable is 1
    int roomSize = 0;           // as stored
};
HifiSettings ReadHifi();

void WriteToneGroup(model::ToneGroup group);
void WriteBands(const std::array<int32_t, model::kBandCount>& gains);

// ---------------------------------------------------------------------------
// User presets: one subkey per preset under Custom\ (named as the person
// typed it), holding its ten band gains and whether it was chosen last.

struct PresetValue {
    const wchar_t* name;
    int minimum;
    int maximum;
};
inline constexpr std::array<PresetValue, model::kBandCount> kPresetBands = [] {
    std::array<PresetValue, model::kBandCount> bands{};
    for (size_t i = 0; i < bands.size(); ++i)
        bands[i] = {kBands[i].name, kBands[i].minimum, kBands[i].maximum};
    return bands;
}();
// 1 for the preset chosen last.
inline constexpr PresetValue kPresetFlag{L"flag", 0, 1};
// The values of every preset, bands first.
std::span<const PresetValue> PresetTable();

int Read(const std::wstring& preset, const PresetValue& value);
// Into an existing preset only: false (and nothing kept) otherwise.
bool Write(const std::wstring& preset, const PresetValue& value, int number);
// Creates the preset's subkey when needed.
void Create(const std::wstring& preset, const PresetValue& value, int number);
bool PresetExists(const std::wstring& preset);
// Removes a preset (a subkey without subkeys of its own).
void DeletePreset(const std::wstring& preset);
// Replaces the list's items with the stored presets' names.
void ListPresets(CComboBox& list);

// ---------------------------------------------------------------------------
// CPL.ini beside the program: integers the panel only reads.

struct IniValue {
    const wchar_t* section;
    const wchar_t* key;
};
inline constexpr wchar_t kIniFileName[] = L"CPL.ini";
// The room and environment pictures the Hifi page shows first, before the
// stored values replace them.
inline constexpr IniValue kIniRoomPicture{L"Hifi", L"RoomSize"};
inline constexpr IniValue kIniEnvironmentPicture{L"Hifi", L"Environment"};

// -1 when the file, the section or the key is absent.
int Read(const IniValue& value);

} // namespace settings
