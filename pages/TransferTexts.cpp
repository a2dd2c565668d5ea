#include "TransferTexts.h"

#include <array>

namespace transfertexts {

namespace {

using Row = model::ByLanguage<const wchar_t*>;

// By Text, in the order of the enumeration: Traditional Chinese, Simplified
// Chinese, English.
constexpr Row kTexts[] = {
    // MenuExportSettings
    {L"匯出設定…", L"导出设置…", L"Export settings…"},
    // MenuImportSettings
    {L"匯入設定…", L"导入设置…", L"Import settings…"},
    // MenuImportEqualizer
    {L"匯入等化器…", L"导入均衡器…", L"Import equalizer…"},
    // MenuExportPreset
    {L"匯出預設供其他等化器使用…", L"导出预设供其他均衡器使用…", L"Export preset for other equalizers…"},
    // TitleExportSettings
    {L"匯出設定", L"导出设置", L"Export settings"},
    // TitleImportSettings
    {L"匯入設定", L"导入设置", L"Import settings"},
    // TitleImportEqualizer
    {L"匯入等化器", L"导入均衡器", L"Import equalizer"},
    // TitleExportPreset
    {L"匯出預設", L"导出预设", L"Export preset"},
    // FilterSettings
    {L"Zephrin 設定檔 (*.txt)", L"Zephrin 设置文件 (*.txt)", L"Zephrin settings (*.txt)"},
    // FilterEqualizer
    {L"等化器檔案 (*.txt)", L"均衡器文件 (*.txt)", L"Equalizer files (*.txt)"},
    // FilterAll
    {L"所有檔案 (*.*)", L"所有文件 (*.*)", L"All files (*.*)"},
    // DefaultSettingsFile
    {L"Zephrin 設定.txt", L"Zephrin 设置.txt", L"Zephrin settings.txt"},
    // CannotRead
    {L"無法讀取檔案 {1}。", L"无法读取文件 {1}。", L"The file {1} cannot be read."},
    // CannotWrite
    {L"無法寫入檔案 {1}。", L"无法写入文件 {1}。", L"The file {1} cannot be written."},
    // Exported
    {L"已將 {1} 個設定值和 {2} 個預設匯出至 {3}。", L"已将 {1} 个设置值和 {2} 个预设导出到 {3}。",
     L"Exported {1} settings and {2} presets to {3}."},
    // LeftOutHeading
    {L"以下內容無法匯出：", L"以下内容无法导出：", L"Not exported:"},
    // LeftOutValue
    {L"{1} = {2}（超出範圍）", L"{1} = {2}（超出范围）", L"{1} = {2} (outside its range)"},
    // LeftOutName
    {L"預設「{1}」（此名稱無法保存在檔案中）", L"预设“{1}”（此名称无法保存在文件中）",
     L"the preset \"{1}\" (its name cannot be kept in a file)"},
    // ImportRefused
    {L"{1} 無法匯入，未做任何變更：", L"{1} 无法导入，未做任何更改：", L"{1} cannot be imported; nothing was changed:"},
    // AskReplace
    {L"檔案中有 {1} 個預設的名稱已存在：\n{2}\n\n要以檔案中的預設取代它們嗎？\n"
     L"是：取代它們\n否：保留現有的預設，略過檔案中的這些預設\n取消：不匯入任何內容",
     L"文件中有 {1} 个预设的名称已存在：\n{2}\n\n要用文件中的预设替换它们吗？\n"
     L"是：替换它们\n否：保留现有的预设，跳过文件中的这些预设\n取消：不导入任何内容",
     L"{1} presets in the file have names that exist already:\n{2}\n\nReplace them with the file's presets?\n"
     L"Yes: replace them\nNo: keep yours and skip these presets of the file\nCancel: import nothing"},
    // Imported
    {L"已從 {3} 匯入 {1} 個設定值和 {2} 個預設。", L"已从 {3} 导入 {1} 个设置值和 {2} 个预设。",
     L"Imported {1} settings and {2} presets from {3}."},
    // ImportedReplaced
    {L"取代了 {1} 個預設。", L"替换了 {1} 个预设。", L"{1} presets were replaced."},
    // ImportedSkipped
    {L"保留了 {1} 個現有的預設。", L"保留了 {1} 个现有的预设。", L"{1} existing presets were kept."},
    // WriteFailed
    {L"{1} 個值無法寫入登錄（需要系統管理員權限）。", L"{1} 个值无法写入注册表（需要管理员权限）。",
     L"{1} values could not be written to the registry (administrator rights are needed)."},
    // PanelTook
    {L"執行中的控制台已套用變更。", L"运行中的控制面板已应用更改。", L"The running panel took the changes."},
    // More
    {L"…另有 {1} 項。", L"…另有 {1} 项。", L"…and {1} more."},
    // LinePrefix
    {L"第 {1} 行：", L"第 {1} 行：", L"Line {1}: "},
    // ProblemTooLarge
    {L"檔案大於 1 MB。", L"文件大于 1 MB。", L"The file is larger than 1 MB."},
    // ProblemEmpty
    {L"檔案是空的。", L"文件是空的。", L"The file is empty."},
    // ProblemNotSettingsFile
    {L"這不是 Zephrin 設定檔：第一行必須是「Zephrin settings version 1」。",
     L"这不是 Zephrin 设置文件：第一行必须是“Zephrin settings version 1”。",
     L"this is not a Zephrin settings file: the first line must be \"Zephrin settings version 1\"."},
    // ProblemUnsupportedVersion
    {L"不支援設定檔版本「{2}」（支援版本 1）。", L"不支持设置文件版本“{2}”（支持版本 1）。",
     L"settings file version \"{2}\" is not supported (version 1 is)."},
    // ProblemNotText
    {L"不是 UTF-8 文字。", L"不是 UTF-8 文本。", L"not UTF-8 text."},
    // ProblemSyntax
    {L"應為「名稱 = 值」、「[段落]」或以 # 開頭的註解。", L"应为“名称 = 值”、“[节]”或以 # 开头的注释。",
     L"expected \"name = value\", \"[section]\" or a comment starting with #."},
    // ProblemUnknownSection
    {L"未知的段落 [{2}]。", L"未知的节 [{2}]。", L"unknown section [{2}]."},
    // ProblemDuplicateSection
    {L"段落 [{2}] 重複（第 {3} 行已有）。", L"节 [{2}] 重复（第 {3} 行已有）。",
     L"section [{2}] appears again (first on line {3})."},
    // ProblemValueOutsideSection
    {L"{2} 不在任何段落中。", L"{2} 不在任何节中。", L"{2} is outside any section."},
    // ProblemUnknownValue
    {L"未知的值 {2}。", L"未知的值 {2}。", L"unknown value {2}."},
    // ProblemDuplicateValue
    {L"{2} 重複（第 {3} 行已有）。", L"{2} 重复（第 {3} 行已有）。", L"{2} appears again (first on line {3})."},
    // ProblemNotANumber
    {L"{2} 不是整數。", L"{2} 不是整数。", L"{2} is not a whole number."},
    // ProblemOutOfRange
    {L"{2} 超出範圍 {3} 至 {4}。", L"{2} 超出范围 {3} 到 {4}。", L"{2} is outside the range {3} to {4}."},
    // ProblemInvalidPresetName
    {L"預設名稱「{2}」無效：不可為空白、不可含反斜線 (\\)、最多 255 個字元。",
     L"预设名称“{2}”无效：不能为空、不能含反斜杠 (\\)、最多 255 个字符。",
     L"the preset name \"{2}\" is not valid: it must not be empty, hold a backslash (\\) or exceed 255 characters."},
    // ProblemDuplicatePresetName
    {L"預設名稱「{2}」重複（第 {3} 行已有）。", L"预设名称“{2}”重复（第 {3} 行已有）。",
     L"the preset name \"{2}\" appears again (first on line {3})."},
    // ProblemMissingPresetName
    {L"預設沒有名稱 (name)。", L"预设没有名称 (name)。", L"the preset has no name."},
    // ProblemMissingBands
    {L"預設缺少 {2}。", L"预设缺少 {2}。", L"the preset lacks {2}."},
    // ProblemTooMany
    {L"問題太多，其餘未檢查。", L"问题太多，其余未检查。", L"too many problems; the rest was not checked."},
    // EqFileLabel
    {L"檔案：", L"文件：", L"File:"},
    // EqNameLabel
    {L"預設名稱：", L"预设名称：", L"Preset name:"},
    // EqSave
    {L"儲存", L"保存", L"Save"},
    // Cancel
    {L"取消", L"取消", L"Cancel"},
    // EqParametric
    {L"參數等化器檔案：使用了 {1} 個濾波器，前級增益 {2} dB。", L"参数均衡器文件：使用了 {1} 个滤波器，前级增益 {2} dB。",
     L"Parametric equalizer file: {1} filters used, preamp {2} dB."},
    // EqGraphic
    {L"圖形等化器檔案：使用了 {1} 個點。", L"图形均衡器文件：使用了 {1} 个点。", L"Graphic equalizer file: {1} points used."},
    // EqBand
    {L"{1} Hz：{2} dB", L"{1} Hz：{2} dB", L"{1} Hz: {2} dB"},
    // EqBandClamped
    {L"{1} Hz：{2} dB（原為 {3} dB，已限制在音效卡範圍內）", L"{1} Hz：{2} dB（原为 {3} dB，已限制在声卡范围内）",
     L"{1} Hz: {2} dB (limited from {3} dB to the card's range)"},
    // EqClampedCount
    {L"{1} 個頻段超出音效卡的 −20 至 +20 dB 範圍，已限制。", L"{1} 个频段超出声卡的 −20 至 +20 dB 范围，已限制。",
     L"{1} bands were outside the card's range of −20 to +20 dB and were limited."},
    // EqSkippedHeading
    {L"略過的行：", L"跳过的行：", L"Skipped lines:"},
    // SkipNotUnderstood
    {L"無法識別：{2}", L"无法识别：{2}", L"not understood: {2}"},
    // SkipFilterOff
    {L"濾波器已關閉 (OFF)。", L"滤波器已关闭 (OFF)。", L"the filter is switched off."},
    // SkipUnsupportedType
    {L"不支援濾波器類型 {2}（支援 PK、LSC、HSC）。", L"不支持滤波器类型 {2}（支持 PK、LSC、HSC）。",
     L"filter type {2} is not supported (PK, LSC and HSC are)."},
    // SkipUnsupportedParameter
    {L"不支援參數 {2}。", L"不支持参数 {2}。", L"parameter {2} is not supported."},
    // SkipMissingParameter
    {L"缺少 {2}。", L"缺少 {2}。", L"{2} is missing."},
    // SkipOutOfRange
    {L"{2} 超出範圍。", L"{2} 超出范围。", L"{2} is out of range."},
    // SkipBadPoint
    {L"無法識別的點「{2}」。", L"无法识别的点“{2}”。", L"the point \"{2}\" is not understood."},
    // SkipReplacedPoint
    {L"點「{2}」被同一頻率的後一個點取代。", L"点“{2}”被同一频率的后一个点取代。",
     L"the point \"{2}\" is replaced by a later point at the same frequency."},
    // SkipSecondGraphicLine
    {L"第二行 GraphicEQ。", L"第二行 GraphicEQ。", L"a second GraphicEQ line."},
    // SkipFilterInGraphicFile
    {L"圖形等化器檔案中的濾波器。", L"图形均衡器文件中的滤波器。", L"a filter in a graphic equalizer file."},
    // EqRefused
    {L"無法從 {1} 匯入等化器：", L"无法从 {1} 导入均衡器：", L"No equalizer can be imported from {1}:"},
    // RefusalNothingUsable
    {L"檔案中沒有可用的濾波器（PK、LSC、HSC）或 GraphicEQ 點。", L"文件中没有可用的滤波器（PK、LSC、HSC）或 GraphicEQ 点。",
     L"The file holds no usable filter (PK, LSC, HSC) or GraphicEQ point."},
    // EqSaved
    {L"預設「{1}」已儲存，可在 Hifi 頁面的預設清單中選擇。", L"预设“{1}”已保存，可在 Hifi 页面的预设列表中选择。",
     L"The preset \"{1}\" was saved; choose it from the preset list on the Hifi page."},
    // PresetExported
    {L"預設「{1}」已匯出至 {2}。", L"预设“{1}”已导出到 {2}。", L"The preset \"{1}\" was exported to {2}."},
    // CliUsage
    {L"用法：Zephrin.exe /export 檔案 | /import 檔案 | /import-eq 檔案 [名稱] | /export-eq 名稱 檔案",
     L"用法：Zephrin.exe /export 文件 | /import 文件 | /import-eq 文件 [名称] | /export-eq 名称 文件",
     L"Usage: Zephrin.exe /export FILE | /import FILE | /import-eq FILE [NAME] | /export-eq NAME FILE"},
    // CliEqSaved
    {L"已從 {2} 儲存預設「{1}」（{3} 個頻段受限，略過 {4} 行）。", L"已从 {2} 保存预设“{1}”（{3} 个频段受限，跳过 {4} 行）。",
     L"Saved the preset \"{1}\" from {2} ({3} bands limited, {4} lines skipped)."},
    // CliNameExists
    {L"預設「{1}」已存在，請指定其他名稱。", L"预设“{1}”已存在，请指定其他名称。",
     L"The preset \"{1}\" exists already; give another NAME."},
    // CliNameInvalid
    {L"預設名稱「{1}」無效：不可為空白、不可含反斜線 (\\)、最多 255 個字元。",
     L"预设名称“{1}”无效：不能为空、不能含反斜杠 (\\)、最多 255 个字符。",
     L"The preset name \"{1}\" is not valid: it must not be empty, hold a backslash (\\) or exceed 255 characters."},
    // CliNoSuchPreset
    {L"沒有名為「{1}」的預設。", L"没有名为“{1}”的预设。", L"There is no preset named \"{1}\"."},
};
static_assert(std::size(kTexts) == static_cast<size_t>(Text::Count), "one row per text");

std::wstring Number(long long n)
{
    return std::to_wstring(n);
}

// Lines joined, at most `limit` of them and then how many more there are.
std::wstring Lines(const std::vector<std::wstring>& lines, size_t total, model::Language language, size_t limit)
{
    std::wstring out;
    for (size_t i = 0; i < lines.size() && i < limit; ++i)
        out += (i ? L"\n" : L"") + lines[i];
    const size_t shown = std::min(lines.size(), limit);
    if (total > shown)
        out += L"\n" + Say(Text::More, language, {Number(static_cast<long long>(total - shown))});
    return out;
}

Text ProblemText(settingsfile::Problem problem)
{
    using P = settingsfile::Problem;
    switch (problem) {
    case P::TooLarge:
        return Text::ProblemTooLarge;
    case P::Empty:
        return Text::ProblemEmpty;
    case P::NotSettingsFile:
        return Text::ProblemNotSettingsFile;
    case P::UnsupportedVersion:
        return Text::ProblemUnsupportedVersion;
    case P::NotText:
        return Text::ProblemNotText;
    case P::Syntax:
        return Text::ProblemSyntax;
    case P::UnknownSection:
        return Text::ProblemUnknownSection;
    case P::DuplicateSection:
        return Text::ProblemDuplicateSection;
    case P::ValueOutsideSection:
        return Text::ProblemValueOutsideSection;
    case P::UnknownValue:
        return Text::ProblemUnknownValue;
    case P::DuplicateValue:
        return Text::ProblemDuplicateValue;
    case P::NotANumber:
        return Text::ProblemNotANumber;
    case P::OutOfRange:
        return Text::ProblemOutOfRange;
    case P::InvalidPresetName:
        return Text::ProblemInvalidPresetName;
    case P::DuplicatePresetName:
        return Text::ProblemDuplicatePresetName;
    case P::MissingPresetName:
        return Text::ProblemMissingPresetName;
    case P::MissingBands:
        return Text::ProblemMissingBands;
    case P::TooManyProblems:
        break;
    }
    return Text::ProblemTooMany;
}

Text SkipText(eqfile::Skip skip)
{
    using S = eqfile::Skip;
    switch (skip) {
    case S::NotUnderstood:
        return Text::SkipNotUnderstood;
    case S::FilterOff:
        return Text::SkipFilterOff;
    case S::UnsupportedType:
        return Text::SkipUnsupportedType;
    case S::UnsupportedParameter:
        return Text::SkipUnsupportedParameter;
    case S::MissingParameter:
        return Text::SkipMissingParameter;
    case S::OutOfRange:
        return Text::SkipOutOfRange;
    case S::BadPoint:
        return Text::SkipBadPoint;
    case S::ReplacedPoint:
        return Text::SkipReplacedPoint;
    case S::SecondGraphicLine:
        return Text::SkipSecondGraphicLine;
    case S::FilterInGraphicFile:
        break;
    }
    return Text::SkipFilterInGraphicFile;
}

} // namespace

model::Language WordingLanguage(int stored)
{
    return model::LanguageFromNumber(stored).value_or(model::Language::TraditionalChinese);
}

std::wstring Say(Text text, model::Language language, std::initializer_list<std::wstring> args)
{
    const std::wstring pattern = kTexts[static_cast<size_t>(text)][language];
    std::wstring out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'{' && i + 2 < pattern.size() && pattern[i + 1] >= L'1' && pattern[i + 1] <= L'9' &&
            pattern[i + 2] == L'}') {
            const size_t index = static_cast<size_t>(pattern[i + 1] - L'1');
            if (index < args.size())
                out += *(args.begin() + index);
            i += 2;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

std::wstring DescribeIssues(const std::vector<settingsfile::Issue>& issues, model::Language language, size_t limit)
{
    std::vector<std::wstring> lines;
    for (const settingsfile::Issue& issue : issues) {
        std::wstring line = issue.line > 0 ? Say(Text::LinePrefix, language, {Number(issue.line)}) : L"";
        line += Say(ProblemText(issue.problem), language,
                    {Number(issue.line), issue.subject, Number(issue.problem == settingsfile::Problem::OutOfRange
                                                                   ? issue.low
                                                                   : issue.otherLine),
                     Number(issue.high)});
        lines.push_back(std::move(line));
    }
    return Lines(lines, lines.size(), language, limit);
}

std::wstring DescribeSkipped(const eqfile::Correction& correction, model::Language language, size_t limit)
{
    std::vector<std::wstring> lines;
    for (const eqfile::SkippedLine& skipped : correction.skipped)
        lines.push_back(Say(Text::LinePrefix, language, {Number(skipped.line)}) +
                        Say(SkipText(skipped.reason), language, {Number(skipped.line), skipped.detail}));
    return Lines(lines, correction.skippedCount, language, limit);
}

std::wstring DescribeLeftOut(const std::vector<settingstransfer::LeftOut>& leftOut, model::Language language,
                             size_t limit)
{
    std::vector<std::wstring> lines;
    for (const settingstransfer::LeftOut& item : leftOut) {
        if (item.reason == settingstransfer::LeftOut::Reason::OutOfRange)
            lines.push_back(Say(Text::LeftOutValue, language, {item.where, item.stored}));
        else
            lines.push_back(Say(Text::LeftOutName, language, {item.where}));
    }
    return Lines(lines, lines.size(), language, limit);
}

std::wstring DescribeRefusal(const eqfile::Correction& correction, model::Language language)
{
    switch (correction.refusal) {
    case eqfile::Refusal::None:
        return {};
    case eqfile::Refusal::TooLarge:
        return Say(Text::ProblemTooLarge, language);
    case eqfile::Refusal::Empty:
        return Say(Text::ProblemEmpty, language);
    case eqfile::Refusal::NothingUsable:
        break;
    }
    return Say(Text::RefusalNothingUsable, language);
}

std::wstring DescribeBands(const eqfile::Correction& correction, model::Language language)
{
    std::wstring out;
    for (size_t band = 0; band < eqfile::kBands; ++band) {
        const std::wstring hz = Number(static_cast<long long>(eqfile::kBandHz[band]));
        const std::wstring db = eqfile::ShowDb(static_cast<double>(correction.gains[band]) / model::kOneDb);
        if (band)
            out += L"\n";
        if (correction.clamped[band])
            out += Say(Text::EqBandClamped, language, {hz, db, eqfile::ShowDb(correction.db[band])});
        else
            out += Say(Text::EqBand, language, {hz, db});
    }
    return out;
}

std::wstring DescribeCorrection(const eqfile::Correction& correction, model::Language language)
{
    std::wstring out = correction.format == eqfile::Format::Graphic
                           ? Say(Text::EqGraphic, language, {Number(correction.used)})
                           : Say(Text::EqParametric, language,
                                 {Number(correction.used), eqfile::ShowDb(correction.preampDb)});
    int clamped = 0;
    for (bool c : correction.clamped)
        clamped += c ? 1 : 0;
    if (clamped > 0)
        out += L"\n" + Say(Text::EqClampedCount, language, {Number(clamped)});
    return out;
}

} // namespace transfertexts
