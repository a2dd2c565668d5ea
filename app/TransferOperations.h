#pragma once
// The settings and equalizer files' operations, shared by the tray menu and
// the command line: each reads or writes its file, works through the store
// and says what happened in the interface language. Asking the person (which
// file, replace or skip, which name) is the caller's part.
#include "EqFiles.h"
#include "PanelModel.h"
#include "SettingsFile.h"
#include "SettingsTransfer.h"

#include <string>

namespace transferops {

// What an operation did, in the interface language: a first line that says
// it, then any details, one per line.
struct Report {
    bool ok = false;
    std::wstring text;
};

// The interface language the wording follows (stored language, as the pages
// show it).
model::Language CurrentLanguage();

Report ExportSettings(const std::wstring& path, model::Language language);

// A settings file read and checked; nothing is written yet.
struct CheckedSettings {
    bool ok = false;
    settingsfile::Contents contents;
    std::wstring refusal; // when not ok
};
CheckedSettings CheckSettingsFile(const std::wstring& path, model::Language language);
// Writes a checked file's contents into the store; the report is worded in
// the language stored afterwards (the file's, when it carries one).
Report ImportSettings(const CheckedSettings& checked, settingstransfer::ExistingPresets existing,
                      const std::wstring& path);

// An equalizer file read and turned into bands; nothing is written yet.
struct CheckedCorrection {
    bool ok = false;
    eqfile::Correction correction;
    std::wstring refusal; // when not ok
};
CheckedCorrection CheckEqualizerFile(const std::wstring& path, model::Language language);
// A name for a new preset, trimmed, checked against the presets stored.
presets::NameCheck CheckNewPresetName(const std::wstring& trimmedName);
// Stores the correction as a new preset under a name that passed the check.
Report SavePreset(const std::wstring& name, const eqfile::Correction& correction, const std::wstring& path,
                  model::Language language);
// Writes a stored preset in the graphic format.
Report ExportPreset(const std::wstring& name, const std::wstring& path, model::Language language);

} // namespace transferops
