#pragma once
// The wording of the settings and equalizer files' menu entries, dialogs and
// messages in the panel's three interface languages, from one table, and the
// reports made of the file readers' findings. Free of any window.
#include "EqFiles.h"
#include "PanelModel.h"
#include "SettingsFile.h"
#include "SettingsTransfer.h"

#include <initializer_list>
#include <string>

namespace transfertexts {

enum class Text {
    // Tray menu and the Hifi page's preset-list menu
    MenuExportSettings,
    MenuImportSettings,
    MenuImportEqualizer,
    MenuExportPreset,
    // Titles of the file dialogs and of the message boxes
    TitleExportSettings,
    TitleImportSettings,
    TitleImportEqualizer,
    TitleExportPreset,
    // File dialogs
    FilterSettings,
    FilterEqualizer,
    FilterAll,
    DefaultSettingsFile,
    // Files
    CannotRead,
    CannotWrite,
    // Export
    Exported,
    LeftOutHeading,
    LeftOutValue,
    LeftOutName,
    // Import
    ImportRefused,
    AskReplace,
    Imported,
    ImportedReplaced,
    ImportedSkipped,
    WriteFailed,
    PanelTook,
    More,
    // Problems of a settings file
    LinePrefix,
    ProblemTooLarge,
    ProblemEmpty,
    ProblemNotSettingsFile,
    ProblemUnsupportedVersion,
    ProblemNotText,
    ProblemSyntax,
    ProblemUnknownSection,
    ProblemDuplicateSection,
    ProblemValueOutsideSection,
    ProblemUnknownValue,
    ProblemDuplicateValue,
    ProblemNotANumber,
    ProblemOutOfRange,
    ProblemInvalidPresetName,
    ProblemDuplicatePresetName,
    ProblemMissingPresetName,
    ProblemMissingBands,
    ProblemTooMany,
    // The equalizer import
    EqFileLabel,
    EqNameLabel,
    EqSave,
    Cancel,
    EqParametric,
    EqGraphic,
    EqBand,
    EqBandClamped,
    EqClampedCount,
    EqSkippedHeading,
    SkipNotUnderstood,
    SkipFilterOff,
    SkipUnsupportedType,
    SkipUnsupportedParameter,
    SkipMissingParameter,
    SkipOutOfRange,
    SkipBadPoint,
    SkipReplacedPoint,
    SkipSecondGraphicLine,
    SkipFilterInGraphicFile,
    EqRefused,
    RefusalNothingUsable,
    EqSaved,
    PresetExported,
    // The command line
    CliUsage,
    CliEqSaved,
    CliNameExists,
    CliNameInvalid,
    CliNoSuchPreset,
    Count
};

// The language the wording is shown in for a stored language number: the
// language it names; for any other number Traditional Chinese, the language
// every page's pictures keep then.
model::Language WordingLanguage(int stored);

// The text in the language, with {1}, {2}, ... replaced by the arguments in
// order.
std::wstring Say(Text text, model::Language language, std::initializer_list<std::wstring> args = {});

// One line per finding, at most `limit` lines and then a line saying how many
// more there are.
constexpr size_t kReportLines = 12;
std::wstring DescribeIssues(const std::vector<settingsfile::Issue>& issues, model::Language language,
                            size_t limit = kReportLines);
std::wstring DescribeSkipped(const eqfile::Correction& correction, model::Language language,
                             size_t limit = kReportLines);
std::wstring DescribeLeftOut(const std::vector<settingstransfer::LeftOut>& leftOut, model::Language language,
                             size_t limit = kReportLines);
// Why a correction cannot be imported (for a usable one, empty).
std::wstring DescribeRefusal(const eqfile::Correction& correction, model::Language language);
// The ten bands, one line each, the clamped ones with their computed gain.
std::wstring DescribeBands(const eqfile::Correction& correction, model::Language language);
// What the file was and how much of it went into the curve, with the number
// of clamped bands.
std::wstring DescribeCorrection(const eqfile::Correction& correction, model::Language language);

} // namespace transfertexts
