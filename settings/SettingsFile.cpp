#include "SettingsFile.h"

#include "Utf8.h"

namespace settingsfile {

namespace {

constexpr size_t kCpl = 0;
constexpr size_t kHifi = 1;
constexpr size_t kDigital = 2;

ExportedValue From(size_t section, const settings::IntValue& value, bool clampedOnLoad = false)
{
    return {section, value.name, value.minimum, value.maximum, clampedOnLoad};
}

std::vector<ExportedValue> BuildTable()
{
    std::vector<ExportedValue> table = {
        From(kCpl, settings::kLanguage),
        From(kHifi, settings::kHifiOn),
        From(kHifi, settings::kToneGroup),
        From(kHifi, settings::kEqPreset),
        From(kHifi, settings::kRegionStyle),
        From(kHifi, settings::kCustomPresetChosen),
    };
    for (const settings::IntValue& band : settings::kBands)
        table.push_back(From(kHifi, band, true));
    for (const settings::IntValue* value : {&settings::kBass, &settings::kTreble})
        table.push_back(From(kHifi, *value, true));
    for (const settings::IntValue* value : {&settings::kEnvironmentOn, &settings::kEnvironment, &settings::kRoomOn,
                                            &settings::kRoomSize})
        table.push_back(From(kHifi, *value));
    table.push_back(From(kDigital, settings::kDigitalOutput));
    return table;
}

Issue IssueAt(int line, Problem problem, std::wstring subject = {})
{
    Issue issue;
    issue.line = line;
    issue.problem = problem;
    issue.subject = std::move(subject);
    return issue;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

std::wstring TrimBlanks(const std::wstring& text)
{
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// Value names are compared as the registry compares them.
bool SameName(const std::wstring& a, const wchar_t* b)
{
    return presets::SameNameIgnoringCase(a, b);
}

// A whole number: an optional sign and at least one digit, nothing else.
enum class NumberForm { Ok, NotANumber, TooBig };
NumberForm ParseWhole(const std::wstring& text, int64_t* value)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i == text.size())
        return NumberForm::NotANumber;
    int64_t result = 0;
    bool tooBig = false;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return NumberForm::NotANumber;
        if (result > 100000000000LL)
            tooBig = true;
        else
            result = result * 10 + (text[i] - L'0');
    }
    if (tooBig)
        return NumberForm::TooBig;
    *value = negative ? -result : result;
    return NumberForm::Ok;
}

bool HasControlCharacters(const std::wstring& text)
{
    for (wchar_t c : text) {
        if ((c < 0x20 && c != L'\t') || c == 0x7F)
            return true;
    }
    return false;
}

std::string Line(const std::wstring& name, int64_t value)
{
    return utf8::Encode(name) + " = " + std::to_string(value) + "\r\n";
}

// The reader's state while it walks the lines of one file.
class Reader {
public:
    explicit Reader(ReadResult& result) : m_result(result) {}

    // False once reading should stop (too many problems).
    bool Take(int line, const std::wstring& text);
    bool TakeNonText(int line)
    {
        Report(line, Problem::NotText);
        return !m_stopped;
    }
    void Finish();

private:
    enum class Section { None, Ignored, Subkey, Preset };

    void Report(int line, Problem problem, std::wstring subject = {}, int otherLine = 0, int32_t low = 0,
                int32_t high = 0);
    void OpenSection(int line, const std::wstring& name);
    void IgnoreSection(int line, Problem problem, std::wstring subject = {}, int otherLine = 0);
    void TakeValue(int line, const std::wstring& name, const std::wstring& value);
    void TakePresetValue(int line, const std::wstring& name, const std::wstring& value);
    void TakePresetName(int line, const std::wstring& value);
    // The number a value holds, or nothing (reported) when it is not a whole
    // number within [low, high].
    std::optional<int32_t> Number(int line, const wchar_t* name, const std::wstring& value, int32_t low,
                                  int32_t high);
    // True when `name` was given before in the current section (and reported).
    bool Repeated(int line, const wchar_t* name);
    void ClosePreset();

    ReadResult& m_result;
    bool m_stopped = false;
    Section m_section = Section::None;
    size_t m_subkey = 0;
    std::array<int, kSectionCount> m_sectionLines{};
    // Value names given in the current section and their lines.
    std::vector<std::pair<const wchar_t*, int>> m_given;

    // The preset being read.
    int m_presetLine = 0;
    Preset m_preset;
    bool m_presetNamed = false;
    bool m_presetValid = true;
    std::array<bool, model::kBandCount> m_bandGiven{};
    // Names of the presets read so far with the line of each name.
    std::vector<std::wstring> m_names;
    std::vector<int> m_nameLines;
};

void Reader::Report(int line, Problem problem, std::wstring subject, int otherLine, int32_t low, int32_t high)
{
    if (m_stopped)
        return;
    if (m_result.issues.size() >= kIssueLimit) {
        m_result.issues.push_back(IssueAt(line, Problem::TooManyProblems));
        m_stopped = true;
        return;
    }
    Issue issue = IssueAt(line, problem, std::move(subject));
    issue.low = low;
    issue.high = high;
    issue.otherLine = otherLine;
    m_result.issues.push_back(std::move(issue));
    if (m_section == Section::Preset)
        m_presetValid = false;
}

bool Reader::Take(int line, const std::wstring& raw)
{
    const std::wstring text = TrimBlanks(raw);
    if (text.empty() || text[0] == L'#')
        return true;
    if (text.front() == L'[') {
        if (text.back() == L']') {
            OpenSection(line, TrimBlanks(text.substr(1, text.size() - 2)));
        } else {
            IgnoreSection(line, Problem::Syntax);
        }
        return !m_stopped;
    }
    const size_t equals = text.find(L'=');
    const std::wstring name = equals == std::wstring::npos ? std::wstring() : TrimBlanks(text.substr(0, equals));
    if (name.empty())
        Report(line, Problem::Syntax);
    else
        TakeValue(line, name, TrimBlanks(text.substr(equals + 1)));
    return !m_stopped;
}

void Reader::OpenSection(int line, const std::wstring& name)
{
    if (m_section == Section::Preset)
        ClosePreset();
    m_given.clear();
    if (SameName(name, kPresetSection)) {
        m_section = Section::Preset;
        m_presetLine = line;
        m_preset = Preset{};
        m_presetNamed = false;
        m_presetValid = true;
        m_bandGiven.fill(false);
        return;
    }
    for (size_t s = 0; s < kSectionCount; ++s) {
        if (!SameName(name, kSections[s]))
            continue;
        if (m_sectionLines[s] != 0) {
            IgnoreSection(line, Problem::DuplicateSection, kSections[s], m_sectionLines[s]);
            return;
        }
        m_sectionLines[s] = line;
        m_result.contents.sections[s] = true;
        m_section = Section::Subkey;
        m_subkey = s;
        return;
    }
    IgnoreSection(line, Problem::UnknownSection, name);
}

void Reader::IgnoreSection(int line, Problem problem, std::wstring subject, int otherLine)
{
    // The section's own line is reported; its values would only add noise.
    if (m_section == Section::Preset)
        ClosePreset();
    m_given.clear();
    m_section = Section::Ignored;
    Report(line, problem, std::move(subject), otherLine);
}

bool Reader::Repeated(int line, const wchar_t* name)
{
    for (const auto& [given, firstLine] : m_given) {
        if (given == name) {
            Report(line, Problem::DuplicateValue, name, firstLine);
            return true;
        }
    }
    m_given.emplace_back(name, line);
    return false;
}

std::optional<int32_t> Reader::Number(int line, const wchar_t* name, const std::wstring& value, int32_t low,
                                      int32_t high)
{
    int64_t number = 0;
    const NumberForm form = ParseWhole(value, &number);
    if (form == NumberForm::NotANumber) {
        Report(line, Problem::NotANumber, name);
        return std::nullopt;
    }
    if (form == NumberForm::TooBig || number < low || number > high) {
        Report(line, Problem::OutOfRange, name, 0, low, high);
        return std::nullopt;
    }
    return static_cast<int32_t>(number);
}

void Reader::TakeValue(int line, const std::wstring& name, const std::wstring& value)
{
    switch (m_section) {
    case Section::None:
        Report(line, Problem::ValueOutsideSection, name);
        return;
    case Section::Ignored:
        return; // the section's own line was reported
    case Section::Preset:
        TakePresetValue(line, name, value);
        return;
    case Section::Subkey:
        break;
    }
    const std::vector<ExportedValue>& table = ExportedValues();
    for (size_t v = 0; v < table.size(); ++v) {
        if (table[v].section != m_subkey || !SameName(name, table[v].name))
            continue;
        if (!Repeated(line, table[v].name))
            m_result.contents.values[v] = Number(line, table[v].name, value, table[v].low, table[v].high);
        return;
    }
    Report(line, Problem::UnknownValue, name);
}

void Reader::TakePresetValue(int line, const std::wstring& name, const std::wstring& value)
{
    if (SameName(name, kPresetNameValue)) {
        if (!Repeated(line, kPresetNameValue))
            TakePresetName(line, value);
        return;
    }
    for (size_t band = 0; band < settings::kPresetBands.size(); ++band) {
        const settings::PresetValue& bandValue = settings::kPresetBands[band];
        if (!SameName(name, bandValue.name))
            continue;
        if (Repeated(line, bandValue.name))
            return;
        m_bandGiven[band] = true;
        if (const auto gain = Number(line, bandValue.name, value, bandValue.minimum, bandValue.maximum))
            m_preset.gains[band] = *gain;
        return;
    }
    const settings::PresetValue& flag = settings::kPresetFlag;
    if (SameName(name, flag.name)) {
        if (!Repeated(line, flag.name))
            m_preset.flag = Number(line, flag.name, value, flag.minimum, flag.maximum);
        return;
    }
    Report(line, Problem::UnknownValue, name);
}

void Reader::TakePresetName(int line, const std::wstring& value)
{
    // Trimmed and checked as the Hifi page checks a name typed into its box.
    m_presetNamed = true;
    const std::wstring name = presets::TrimSpaces(value);
    switch (presets::CheckName(name, m_names)) {
    case presets::NameCheck::Ok:
        m_preset.name = name;
        m_names.push_back(name);
        m_nameLines.push_back(line);
        return;
    case presets::NameCheck::Duplicate:
        for (size_t k = 0; k < m_names.size(); ++k) {
            if (presets::SameNameIgnoringCase(m_names[k], name)) {
                Report(line, Problem::DuplicatePresetName, name, m_nameLines[k]);
                return;
            }
        }
        Report(line, Problem::DuplicatePresetName, name);
        return;
    case presets::NameCheck::Invalid:
        Report(line, Problem::InvalidPresetName, value);
        return;
    }
}

void Reader::ClosePreset()
{
    if (!m_presetNamed)
        Report(m_presetLine, Problem::MissingPresetName);
    std::wstring missing;
    for (size_t band = 0; band < m_bandGiven.size(); ++band) {
        if (!m_bandGiven[band])
            missing += (missing.empty() ? L"" : L", ") + std::wstring(settings::kPresetBands[band].name);
    }
    if (!missing.empty())
        Report(m_presetLine, Problem::MissingBands, missing);
    if (m_presetValid)
        m_result.contents.presets.push_back(m_preset);
    m_section = Section::None;
}

void Reader::Finish()
{
    if (m_section == Section::Preset)
        ClosePreset();
}

} // namespace

const std::vector<ExportedValue>& ExportedValues()
{
    static const std::vector<ExportedValue> table = BuildTable();
    return table;
}

bool NameFitsFile(const std::wstring& name)
{
    return !name.empty() && TrimBlanks(name) == name && !HasControlCharacters(name) &&
           presets::CheckName(name, {}) == presets::NameCheck::Ok;
}

std::string Write(const Contents& contents)
{
    std::string out(kFirstLine);
    out += "\r\n";
    const std::vector<ExportedValue>& table = ExportedValues();
    for (size_t s = 0; s < kSectionCount; ++s) {
        if (!contents.sections[s])
            continue;
        out += "\r\n[" + utf8::Encode(kSections[s]) + "]\r\n";
        for (size_t v = 0; v < table.size(); ++v) {
            if (table[v].section == s && contents.values[v])
                out += Line(table[v].name, *contents.values[v]);
        }
    }
    for (const Preset& preset : contents.presets) {
        out += "\r\n[" + utf8::Encode(kPresetSection) + "]\r\n";
        out += utf8::Encode(kPresetNameValue) + " = " + utf8::Encode(preset.name) + "\r\n";
        for (size_t band = 0; band < settings::kPresetBands.size(); ++band)
            out += Line(settings::kPresetBands[band].name, preset.gains[band]);
        if (preset.flag)
            out += Line(settings::kPresetFlag.name, *preset.flag);
    }
    return out;
}

ReadResult Read(std::string_view bytes)
{
    ReadResult result;
    if (bytes.size() > kMaxFileBytes) {
        result.issues.push_back(IssueAt(0, Problem::TooLarge));
        return result;
    }
    if (bytes.substr(0, utf8::kByteOrderMark.size()) == utf8::kByteOrderMark)
        bytes.remove_prefix(utf8::kByteOrderMark.size());
    if (bytes.empty()) {
        result.issues.push_back(IssueAt(0, Problem::Empty));
        return result;
    }

    Reader reader(result);
    int line = 0;
    while (!bytes.empty()) {
        ++line;
        const size_t end = bytes.find('\n');
        std::string_view raw = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);

        std::wstring text;
        const bool isText = utf8::Decode(raw, &text) && !HasControlCharacters(text);
        if (line == 1) {
            if (!isText) {
                result.issues.push_back(IssueAt(1, Problem::NotSettingsFile));
                return result;
            }
            const std::wstring first = TrimBlanks(text);
            if (first == utf8::DecodeLenient(kFirstLine))
                continue;
            const std::wstring prefix = utf8::DecodeLenient(kFirstLinePrefix);
            if (first.compare(0, prefix.size(), prefix) == 0 && first.size() > prefix.size())
                result.issues.push_back(IssueAt(1, Problem::UnsupportedVersion, first.substr(prefix.size())));
            else
                result.issues.push_back(IssueAt(1, Problem::NotSettingsFile));
            return result; // nothing else of a foreign file is worth reporting
        }
        if (!(isText ? reader.Take(line, text) : reader.TakeNonText(line)))
            return result;
    }
    reader.Finish();
    return result;
}

} // namespace settingsfile
