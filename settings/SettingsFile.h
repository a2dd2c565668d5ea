#pragma once
// The settings file: the language, the Hifi and Digital settings and the user
// equalizer presets as one UTF-8 text a person can keep, move to another
// machine and read. Written and read here without the registry or any window
// (SettingsTransfer.h joins it to the store), so the reader is tested and
// fuzzed directly.
//
//     Zephrin settings version 1
//     # a comment
//     [CPL]
//     language = 2
//     [Hifi]
//     InitialButtonOn = 3
//     eq_0 = -327680
//     [Digital]
//     DigitalOutSr = 1
//     [Preset]
//     name = Rock
//     eq_0 = 131072      (eq_0 ... eq_9, all ten)
//     flag = 0           (optional)
//
// A section [CPL], [Hifi] or [Digital] stands for that subkey and holds only
// the values that are stored; [Preset] comes once per user preset. Every
// value is a whole number within its range. The reader checks the whole file
// and reports every problem with its line before anything is written.
#include "PanelModel.h"
#include "PresetRules.h"
#include "Settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settingsfile {

inline constexpr std::string_view kFirstLine = "Zephrin settings version 1";
inline constexpr std::string_view kFirstLinePrefix = "Zephrin settings version ";
// Larger files are refused unread.
constexpr size_t kMaxFileBytes = 1024 * 1024;

// The subkeys a file holds values of, in file order; each is a section.
constexpr size_t kSectionCount = 3;
inline constexpr const wchar_t* kSections[kSectionCount] = {settings::kCplSubkey, settings::kHifiSubkey,
                                                             settings::kDigitalSubkey};
inline constexpr const wchar_t* kPresetSection = L"Preset";
inline constexpr const wchar_t* kPresetNameValue = L"name";

// One value of the store that the file carries (every number of
// settings::Table() in the subkeys above), by the store's own name and with
// the range the panel writes it in. Bands and knob positions outside it are
// clamped by the panel when it loads them, so an export clamps them the same
// way; any other value outside its range has no meaning to the panel and is
// left out.
struct ExportedValue {
    size_t section; // index into kSections
    const wchar_t* name;
    int32_t low;
    int32_t high;
    bool clampedOnLoad;
};
const std::vector<ExportedValue>& ExportedValues();

// A user preset: its name and the values of settings::PresetTable().
struct Preset {
    std::wstring name;
    std::array<int32_t, model::kBandCount> gains{};
    std::optional<int32_t> flag;
};

struct Contents {
    // Which of the subkeys the file has a section for (present in the store,
    // perhaps without values).
    std::array<bool, kSectionCount> sections{};
    // By index into ExportedValues(); empty for a value that is not stored.
    std::vector<std::optional<int32_t>> values = std::vector<std::optional<int32_t>>(ExportedValues().size());
    std::vector<Preset> presets;
};

// Whether a stored preset name comes back unchanged through a file and passes
// the panel's name rules; others cannot be carried.
bool NameFitsFile(const std::wstring& name);

// The file's text: UTF-8 without a byte order mark, CRLF line ends.
std::string Write(const Contents& contents);

enum class Problem {
    TooLarge,            // no line
    Empty,               // no line
    NotSettingsFile,     // line 1
    UnsupportedVersion,  // line 1, subject: the version given
    NotText,             // not UTF-8, or control characters
    Syntax,              // neither "name = value", "[section]" nor a comment
    UnknownSection,      // subject: the section
    DuplicateSection,    // subject: the section, otherLine: its first line
    ValueOutsideSection, // a value before the first section
    UnknownValue,        // subject: the value name
    DuplicateValue,      // subject: the value name, otherLine: its first line
    NotANumber,          // subject: the value name
    OutOfRange,          // subject: the value name; low, high: the range
    InvalidPresetName,   // subject: the name
    DuplicatePresetName, // subject: the name, otherLine: the first preset's name line
    MissingPresetName,   // line: the [Preset] line
    MissingBands,        // line: the [Preset] line, subject: the missing value names
    TooManyProblems,     // reading stopped here
};

struct Issue {
    int line = 0; // 1-based; 0 for the whole file
    Problem problem = Problem::Syntax;
    std::wstring subject;
    int32_t low = 0;
    int32_t high = 0;
    int otherLine = 0;
};

struct ReadResult {
    Contents contents;
    std::vector<Issue> issues;
    bool Accepted() const { return issues.empty(); }
};

// Reading stops after this many problems.
constexpr size_t kIssueLimit = 100;

// Checks and reads a whole file (UTF-8 with or without a byte order mark,
// CRLF or LF line ends).
ReadResult Read(std::string_view bytes);

} // namespace settingsfile
