#include "TransferOperations.h"

#include "Settings.h"
#include "TransferFiles.h"
#include "TransferTexts.h"
#include "Utf8.h"

namespace transferops {

namespace {

using transfertexts::Say;
using transfertexts::Text;

std::wstring Number(long long n)
{
    return std::to_wstring(n);
}

// Reads a file the person named; why not when it cannot be read.
bool ReadNamedFile(const std::wstring& path, size_t limit, model::Language language, std::string* bytes,
                   std::wstring* why)
{
    switch (transferfiles::ReadSmallFile(path, limit, bytes)) {
    case transferfiles::ReadStatus::Read:
        return true;
    case transferfiles::ReadStatus::TooLarge:
        *why = Say(Text::ProblemTooLarge, language);
        return false;
    case transferfiles::ReadStatus::Unreadable:
        break;
    }
    *why = Say(Text::CannotRead, language, {path});
    return false;
}

} // namespace

model::Language CurrentLanguage()
{
    return transfertexts::WordingLanguage(settings::Read(settings::kLanguage));
}

Report ExportSettings(const std::wstring& path, model::Language language)
{
    const settingstransfer::Exported exported = settingstransfer::ReadFromStore();
    Report report;
    if (!transferfiles::WriteWholeFile(path, settingsfile::Write(exported.contents))) {
        report.text = Say(Text::CannotWrite, language, {path});
        return report;
    }
    long long values = 0;
    for (const auto& value : exported.contents.values)
        values += value ? 1 : 0;
    report.ok = true;
    report.text = Say(Text::Exported, language,
                      {Number(values), Number(static_cast<long long>(exported.contents.presets.size())), path});
    if (!exported.leftOut.empty())
        report.text += L"\n" + Say(Text::LeftOutHeading, language) + L"\n" +
                       transfertexts::DescribeLeftOut(exported.leftOut, language);
    return report;
}

CheckedSettings CheckSettingsFile(const std::wstring& path, model::Language language)
{
    CheckedSettings checked;
    const std::wstring heading = Say(Text::ImportRefused, language, {path}) + L"\n";
    std::string bytes;
    std::wstring why;
    if (!ReadNamedFile(path, settingsfile::kMaxFileBytes, language, &bytes, &why)) {
        checked.refusal = heading + why;
        return checked;
    }
    settingsfile::ReadResult read = settingsfile::Read(bytes);
    if (!read.Accepted()) {
        checked.refusal = heading + transfertexts::DescribeIssues(read.issues, language);
        return checked;
    }
    checked.ok = true;
    checked.contents = std::move(read.contents);
    return checked;
}

Report ImportSettings(const CheckedSettings& checked, settingstransfer::ExistingPresets existing,
                      const std::wstring& path)
{
    const settingstransfer::Written written = settingstransfer::WriteToStore(checked.contents, existing);
    const model::Language language = CurrentLanguage();
    Report report;
    report.ok = written.failed == 0;
    report.text = Say(Text::Imported, language, {Number(written.values), Number(written.presets), path});
    if (written.replaced > 0)
        report.text += L" " + Say(Text::ImportedReplaced, language, {Number(written.replaced)});
    if (written.skipped > 0)
        report.text += L" " + Say(Text::ImportedSkipped, language, {Number(written.skipped)});
    if (written.failed > 0)
        report.text += L"\n" + Say(Text::WriteFailed, language, {Number(written.failed)});
    return report;
}

CheckedCorrection CheckEqualizerFile(const std::wstring& path, model::Language language)
{
    CheckedCorrection checked;
    const std::wstring heading = Say(Text::EqRefused, language, {path}) + L"\n";
    std::string bytes;
    std::wstring why;
    if (!ReadNamedFile(path, eqfile::kMaxFileBytes, language, &bytes, &why)) {
        checked.refusal = heading + why;
        return checked;
    }
    checked.correction = eqfile::Parse(bytes);
    if (!checked.correction.Usable()) {
        checked.refusal = heading + transfertexts::DescribeRefusal(checked.correction, language);
        if (checked.correction.skippedCount > 0)
            checked.refusal += L"\n" + Say(Text::EqSkippedHeading, language) + L"\n" +
                               transfertexts::DescribeSkipped(checked.correction, language);
        return checked;
    }
    checked.ok = true;
    return checked;
}

presets::NameCheck CheckNewPresetName(const std::wstring& trimmedName)
{
    return presets::CheckName(trimmedName, settingstransfer::StoredPresetNames());
}

Report SavePreset(const std::wstring& name, const eqfile::Correction& correction, const std::wstring& path,
                  model::Language language)
{
    Report report;
    report.ok = settingstransfer::WritePreset(name, correction.gains);
    int clamped = 0;
    for (bool c : correction.clamped)
        clamped += c ? 1 : 0;
    report.text = Say(Text::CliEqSaved, language,
                      {name, path, Number(clamped), Number(static_cast<long long>(correction.skippedCount))});
    if (!report.ok)
        report.text += L"\n" + Say(Text::WriteFailed, language, {Number(1)});
    return report;
}

Report ExportPreset(const std::wstring& name, const std::wstring& path, model::Language language)
{
    Report report;
    const auto gains = settingstransfer::ReadPreset(name);
    if (!gains) {
        report.text = Say(Text::CliNoSuchPreset, language, {name});
        return report;
    }
    if (!transferfiles::WriteWholeFile(path, eqfile::WriteGraphic(*gains))) {
        report.text = Say(Text::CannotWrite, language, {path});
        return report;
    }
    report.ok = true;
    report.text = Say(Text::PresetExported, language, {name, path});
    return report;
}

} // namespace transferops
