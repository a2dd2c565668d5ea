#include "SettingsTransfer.h"

#include "Settings.h"
#include "SettingsStore.h"

#include <algorithm>

namespace settingstransfer {

namespace {

using settingsfile::ExportedValue;
using settingsfile::kSections;

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return std::min(std::max(value, low), high);
}

// Writes one value (creating its subkey where missing) and reads it back.
bool WriteChecked(const std::wstring& root, const std::wstring& subkey, const wchar_t* name, int32_t value)
{
    const std::wstring text = std::to_wstring(value);
    CreateRegString(root, subkey, name, text);
    return ReadRegString(root, subkey, name) == text;
}

} // namespace

Exported ReadFromStore()
{
    Exported result;
    settingsfile::Contents& contents = result.contents;
    const std::vector<ExportedValue>& table = settingsfile::ExportedValues();
    for (size_t s = 0; s < settingsfile::kSectionCount; ++s)
        contents.sections[s] = RegKeyExists(kRegRoot, kSections[s]);
    for (size_t v = 0; v < table.size(); ++v) {
        const ExportedValue& entry = table[v];
        const wchar_t* subkey = kSections[entry.section];
        if (!contents.sections[entry.section] || !RegValueStored(kRegRoot, subkey, entry.name))
            continue;
        const int32_t stored = ReadRegInt(kRegRoot, subkey, entry.name);
        if (entry.clampedOnLoad) {
            contents.values[v] = Clamp(stored, entry.low, entry.high);
        } else if (stored >= entry.low && stored <= entry.high) {
            contents.values[v] = stored;
        } else {
            result.leftOut.push_back({LeftOut::Reason::OutOfRange, std::wstring(subkey) + L"\\" + entry.name,
                                      ReadRegString(kRegRoot, subkey, entry.name)});
        }
    }

    for (const std::wstring& name : StoredPresetNames()) {
        if (!settingsfile::NameFitsFile(name)) {
            result.leftOut.push_back({LeftOut::Reason::NameNotCarried, name, {}});
            continue;
        }
        settingsfile::Preset preset;
        preset.name = name;
        preset.gains = *ReadPreset(name);
        if (RegValueStored(kRegCustomRoot, name, settings::kPresetFlag.name))
            preset.flag = settings::Read(name, settings::kPresetFlag) == 1 ? 1 : 0;
        contents.presets.push_back(std::move(preset));
    }
    return result;
}

std::vector<std::wstring> PresetsAlreadyStored(const settingsfile::Contents& contents)
{
    std::vector<std::wstring> names;
    for (const settingsfile::Preset& preset : contents.presets) {
        if (settings::PresetExists(preset.name))
            names.push_back(preset.name);
    }
    return names;
}

Written WriteToStore(const settingsfile::Contents& contents, ExistingPresets existing)
{
    Written written;
    const std::vector<ExportedValue>& table = settingsfile::ExportedValues();
    for (size_t s = 0; s < settingsfile::kSectionCount; ++s) {
        if (contents.sections[s] && !CreateRegKey(kRegRoot, kSections[s]))
            ++written.failed;
    }
    for (size_t v = 0; v < table.size(); ++v) {
        if (!contents.values[v])
            continue;
        ++written.values;
        if (!WriteChecked(kRegRoot, kSections[table[v].section], table[v].name, *contents.values[v]))
            ++written.failed;
    }

    std::vector<std::wstring> writtenNames;
    bool chosenWritten = false;
    for (const settingsfile::Preset& preset : contents.presets) {
        const bool stored = settings::PresetExists(preset.name);
        if (stored && existing == ExistingPresets::Skip) {
            ++written.skipped;
            continue;
        }
        if (stored) {
            settings::DeletePreset(preset.name);
            ++written.replaced;
        }
        for (size_t band = 0; band < settings::kPresetBands.size(); ++band) {
            if (!WriteChecked(kRegCustomRoot, preset.name, settings::kPresetBands[band].name, preset.gains[band]))
                ++written.failed;
        }
        if (preset.flag && !WriteChecked(kRegCustomRoot, preset.name, settings::kPresetFlag.name, *preset.flag))
            ++written.failed;
        chosenWritten = chosenWritten || preset.flag == 1;
        writtenNames.push_back(preset.name);
        ++written.presets;
    }

    if (chosenWritten) {
        for (const std::wstring& name : StoredPresetNames()) {
            const bool fromFile = std::any_of(writtenNames.begin(), writtenNames.end(), [&](const std::wstring& w) {
                return presets::SameNameIgnoringCase(w, name);
            });
            if (!fromFile && settings::Read(name, settings::kPresetFlag) == 1)
                settings::Write(name, settings::kPresetFlag, 0);
        }
    }
    return written;
}

std::vector<std::wstring> StoredPresetNames()
{
    return ListRegSubkeys(kRegCustomRoot);
}

std::optional<std::array<int32_t, model::kBandCount>> ReadPreset(const std::wstring& name)
{
    if (!settings::PresetExists(name))
        return std::nullopt;
    // A missing band reads 0 and a band beyond the sliders is clamped: the
    // curve the panel sends when the preset is chosen.
    std::array<int32_t, model::kBandCount> gains{};
    for (size_t band = 0; band < gains.size(); ++band) {
        const settings::PresetValue& value = settings::kPresetBands[band];
        gains[band] = Clamp(settings::Read(name, value), value.minimum, value.maximum);
    }
    return gains;
}

bool WritePreset(const std::wstring& name, const std::array<int32_t, model::kBandCount>& gains)
{
    bool all = true;
    for (size_t band = 0; band < gains.size(); ++band)
        all = WriteChecked(kRegCustomRoot, name, settings::kPresetBands[band].name, gains[band]) && all;
    return WriteChecked(kRegCustomRoot, name, settings::kPresetFlag.name, 0) && all;
}

} // namespace settingstransfer
