#include "Settings.h"

#include "SettingsStore.h"

namespace settings {

namespace {

constexpr StoredValue kTable[] = {
    kLanguage,
    kDigitalOutput,
    kHifiOn,
    kToneGroup,
    kRegionStyle,
    kEqPreset,
    kCustomPresetChosen,
    kBass,
    kTreble,
    kEnvironmentOn,
    kEnvironment,
    kRoomOn,
    kRoomSize,
    kBands[0],
    kBands[1],
    kBands[2],
    kBands[3],
    kBands[4],
    kBands[5],
    kBands[6],
    kBands[7],
    kBands[8],
    kBands[9],
    kDriverVersion,
    kPanelVersion,
};

constexpr std::array<PresetValue, model::kBandCount + 1> kPresetTable = [] {
    std::array<PresetValue, model::kBandCount + 1> values{};
    for (size_t i = 0; i < kPresetBands.size(); ++i)
        values[i] = kPresetBands[i];
    values[model::kBandCount] = kPresetFlag;
    return values;
}();

} // namespace

int Read(const IntValue& value)
{
    return ReadRegInt(kRegRoot, value.subkey, value.name);
}

bool Write(const IntValue& value, int number)
{
    return WriteRegString(kRegRoot, value.subkey, value.name, std::to_wstring(number));
}

std::wstring Read(const TextValue& value)
{
    return ReadRegString(kRegRoot, value.subkey, value.name);
}

std::span<const StoredValue> Table()
{
    return kTable;
}

HifiSettings ReadHifi()
{
    enum Slot { kOn, kGroup, kStyle, kPreset, kChosen, kBassSlot, kTrebleSlot, kEnvOn, kEnv, kRoomOnSlot, kRoom, kBand0 };
    constexpr auto kNames = [] {
        std::array<const wchar_t*, kBand0 + model::kBandCount> names = {
            kHifiOn.name,     kToneGroup.name, kRegionStyle.name, kEqPreset.name, kCustomPresetChosen.name,
            kBass.name,       kTreble.name,    kEnvironmentOn.name, kEnvironment.name, kRoomOn.name,
            kRoomSize.name};
        for (int i = 0; i < model::kBandCount; ++i)
            names[static_cast<size_t>(kBand0 + i)] = kBands[static_cast<size_t>(i)].name;
        return names;
    }();
    const std::vector<int> n = ReadRegInts(kRegRoot, kHifiSubkey, kNames);

    HifiSettings s;
    s.on = n[kOn] == 1;
    s.toneGroup = model::ToneGroupFromNumber(n[kGroup]);
    s.regionStyle = n[kStyle];
    s.eqPreset = n[kPreset];
    s.customPresetChosen = n[kChosen] != 0;
    for (int i = 0; i < model::kBandCount; ++i)
        s.bands[static_cast<size_t>(i)] = n[static_cast<size_t>(kBand0 + i)];
    s.bass = n[kBassSlot];
    s.treble = n[kTrebleSlot];
    s.environmentOn = n[kEnvOn] == 1;
    s.environment = n[kEnv];
    s.roomOn = n[kRoomOnSlot] == 1;
    s.roomSize = n[kRoom];
    return s;
}

void WriteToneGroup(model::ToneGroup group)
{
    Write(kToneGroup, model::Number(group));
}

void WriteBands(const std::array<int32_t, model::kBandCount>& gains)
{
    for (size_t i = 0; i < gains.size(); ++i)
        Write(kBands[i], gains[i]);
}

std::span<const PresetValue> PresetTable()
{
    return kPresetTable;
}

int Read(const std::wstring& preset, const PresetValue& value)
{
    return ReadRegInt(kRegCustomRoot, preset, value.name);
}

bool Write(const std::wstring& preset, const PresetValue& value, int number)
{
    return WriteRegString(kRegCustomRoot, preset, value.name, std::to_wstring(number));
}

void Create(const std::wstring& preset, const PresetValue& value, int number)
{
    CreateRegString(kRegCustomRoot, preset, value.name, std::to_wstring(number));
}

bool PresetExists(const std::wstring& preset)
{
    return RegKeyExists(kRegCustomRoot, preset);
}

void DeletePreset(const std::wstring& preset)
{
    DeleteRegKey(kRegCustomRoot, preset);
}

void ListPresets(CComboBox& list)
{
    FillComboWithSubkeys(list, kRegCustomRoot);
}

int Read(const IniValue& value)
{
    return ReadIniInt(kIniFileName, value.section, value.key);
}

} // namespace settings
