#include "EqFiles.h"

#include "Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <optional>

namespace eqfile {

namespace {

constexpr double kPi = 3.14159265358979323846;
// How much of a line a skipped-line entry shows.
constexpr size_t kDetailLength = 40;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameWord(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    }
    return true;
}

// The rest of the line after "keyword:" (the keyword in any letter case,
// blanks allowed before the colon), or nothing.
std::optional<std::string_view> AfterKeyword(std::string_view line, std::string_view keyword)
{
    if (line.size() < keyword.size() || !SameWord(line.substr(0, keyword.size()), keyword))
        return std::nullopt;
    std::string_view rest = Trim(line.substr(keyword.size()));
    if (rest.empty() || rest.front() != ':')
        return std::nullopt;
    return Trim(rest.substr(1));
}

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// A decimal number at the start of `text`: an optional sign, digits with at
// most one decimal point (no exponent, no "inf" or "nan"). Returns the length
// taken, 0 when there is no number.
size_t ReadNumber(std::string_view text, double* value)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return 0;
    std::string_view number = text.substr(0, i);
    if (number.front() == '+')
        number.remove_prefix(1);
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), *value,
                                        std::chars_format::fixed);
    if (parsed.ec != std::errc() || parsed.ptr != number.data() + number.size() || !std::isfinite(*value))
        return 0;
    return i;
}

// A number written alone or with a unit: "105", "105 Hz", "105Hz", "1.2 kHz".
// `units` lists the accepted units with their factors; the unit is optional.
// Consumes one or two words from `words` at `at`.
struct Unit {
    std::string_view name;
    double factor;
};
std::optional<double> ReadQuantity(const std::vector<std::string_view>& words, size_t* at,
                                   std::initializer_list<Unit> units)
{
    if (*at >= words.size())
        return std::nullopt;
    double value = 0;
    const std::string_view word = words[*at];
    const size_t length = ReadNumber(word, &value);
    if (length == 0)
        return std::nullopt;
    ++*at;
    std::string_view unit = word.substr(length);
    if (unit.empty() && *at < words.size()) {
        for (const Unit& u : units) {
            if (SameWord(words[*at], u.name)) {
                ++*at;
                return value * u.factor;
            }
        }
        return value;
    }
    if (unit.empty())
        return value;
    for (const Unit& u : units) {
        if (SameWord(unit, u.name))
            return value * u.factor;
    }
    return std::nullopt;
}

std::wstring Detail(std::string_view text)
{
    if (text.size() > kDetailLength)
        return utf8::DecodeLenient(text.substr(0, kDetailLength)) + L"\u2026";
    return utf8::DecodeLenient(text);
}

struct Filter {
    FilterKind kind;
    double fc;
    double gain;
    double q;
};

struct Point {
    double hz;
    double db;
    int line;
    std::wstring text;
};

// Collects what a file holds while its lines are read.
class FileReader {
public:
    explicit FileReader(Correction& result) : m_result(result) {}

    void Take(int line, std::string_view text);
    void Finish();

private:
    void Compute();
    void Skipped(int line, Skip reason, std::wstring detail = {});
    void TakeFilter(int line, std::string_view text, std::string_view rest);
    void TakePreamp(int line, std::string_view text, std::string_view rest);
    void TakeGraphic(int line, std::string_view rest);

    Correction& m_result;
    std::vector<std::pair<int, Filter>> m_filters;
    std::vector<Point> m_points;
    int m_graphicLine = 0;
};

void FileReader::Skipped(int line, Skip reason, std::wstring detail)
{
    ++m_result.skippedCount;
    if (m_result.skipped.size() < kSkippedKept)
        m_result.skipped.push_back({line, reason, std::move(detail)});
}

void FileReader::Take(int line, std::string_view text)
{
    text = Trim(text);
    if (text.empty() || text.front() == '#')
        return;
    if (auto rest = AfterKeyword(text, "Preamp")) {
        TakePreamp(line, text, *rest);
        return;
    }
    if (auto rest = AfterKeyword(text, "GraphicEQ")) {
        TakeGraphic(line, *rest);
        return;
    }
    // "Filter:", "Filter 3:" or "Filter3:".
    if (text.size() > 6 && SameWord(text.substr(0, 6), "Filter")) {
        const size_t colon = text.find(':');
        const std::string_view number = colon == std::string_view::npos ? "x" : Trim(text.substr(6, colon - 6));
        if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            TakeFilter(line, text, text.substr(colon + 1));
            return;
        }
    }
    Skipped(line, Skip::NotUnderstood, Detail(text));
}

void FileReader::TakePreamp(int line, std::string_view text, std::string_view rest)
{
    const std::vector<std::string_view> words = Words(rest);
    size_t at = 0;
    const std::optional<double> db = ReadQuantity(words, &at, {{"dB", 1.0}});
    if (!db || at != words.size()) {
        Skipped(line, Skip::NotUnderstood, Detail(text));
        return;
    }
    if (std::fabs(*db) > kLargestGain) {
        Skipped(line, Skip::OutOfRange, L"Preamp");
        return;
    }
    m_result.preampDb += *db;
}

void FileReader::TakeFilter(int line, std::string_view text, std::string_view rest)
{
    const std::vector<std::string_view> words = Words(rest);
    if (words.size() < 2 || !(SameWord(words[0], "ON") || SameWord(words[0], "OFF"))) {
        Skipped(line, Skip::NotUnderstood, Detail(text));
        return;
    }
    if (m_graphicLine != 0) {
        Skipped(line, Skip::FilterInGraphicFile);
        return;
    }
    if (SameWord(words[0], "OFF")) {
        Skipped(line, Skip::FilterOff);
        return;
    }
    const std::string_view type = words[1];
    Filter filter{FilterKind::Peaking, 0, 0, 0};
    if (SameWord(type, "PK")) {
        filter.kind = FilterKind::Peaking;
    } else if (SameWord(type, "LSC") || SameWord(type, "LS")) {
        filter.kind = FilterKind::LowShelf;
    } else if (SameWord(type, "HSC") || SameWord(type, "HS")) {
        filter.kind = FilterKind::HighShelf;
    } else {
        Skipped(line, Skip::UnsupportedType, Detail(type));
        return;
    }

    std::optional<double> fc;
    std::optional<double> gain;
    std::optional<double> q;
    for (size_t at = 2; at < words.size();) {
        const std::string_view key = words[at++];
        std::optional<double>* slot = nullptr;
        std::optional<double> value;
        if (SameWord(key, "Fc")) {
            slot = &fc;
            value = ReadQuantity(words, &at, {{"Hz", 1.0}, {"kHz", 1000.0}});
        } else if (SameWord(key, "Gain")) {
            slot = &gain;
            value = ReadQuantity(words, &at, {{"dB", 1.0}});
        } else if (SameWord(key, "Q")) {
            slot = &q;
            value = ReadQuantity(words, &at, {});
        } else {
            Skipped(line, Skip::UnsupportedParameter, Detail(key));
            return;
        }
        if (!value || slot->has_value()) {
            Skipped(line, Skip::NotUnderstood, Detail(text));
            return;
        }
        *slot = value;
    }
    if (!fc) {
        Skipped(line, Skip::MissingParameter, L"Fc");
        return;
    }
    if (!gain) {
        Skipped(line, Skip::MissingParameter, L"Gain");
        return;
    }
    if (!q && filter.kind == FilterKind::Peaking) {
        Skipped(line, Skip::MissingParameter, L"Q");
        return;
    }
    if (*fc < kLowestFrequency || *fc >= kHighestFilterFrequency) {
        Skipped(line, Skip::OutOfRange, L"Fc");
        return;
    }
    if (std::fabs(*gain) > kLargestGain) {
        Skipped(line, Skip::OutOfRange, L"Gain");
        return;
    }
    if (q && (*q < kLowestQ || *q > kHighestQ)) {
        Skipped(line, Skip::OutOfRange, L"Q");
        return;
    }
    filter.fc = *fc;
    filter.gain = *gain;
    filter.q = q ? *q : kShelfQ;
    m_filters.emplace_back(line, filter);
}

void FileReader::TakeGraphic(int line, std::string_view rest)
{
    if (m_graphicLine != 0) {
        Skipped(line, Skip::SecondGraphicLine);
        return;
    }
    m_graphicLine = line;
    // Filter lines read before this one are not part of a graphic curve.
    for (const auto& [filterLine, filter] : m_filters) {
        (void)filter;
        Skipped(filterLine, Skip::FilterInGraphicFile);
    }
    m_filters.clear();

    while (!rest.empty()) {
        const size_t semicolon = rest.find(';');
        const std::string_view point = Trim(rest.substr(0, semicolon));
        rest.remove_prefix(semicolon == std::string_view::npos ? rest.size() : semicolon + 1);
        if (point.empty())
            continue;
        const std::vector<std::string_view> words = Words(point);
        double hz = 0;
        double db = 0;
        if (words.size() != 2 || ReadNumber(words[0], &hz) != words[0].size() ||
            ReadNumber(words[1], &db) != words[1].size()) {
            Skipped(line, Skip::BadPoint, Detail(point));
            continue;
        }
        if (hz < kLowestFrequency || hz > kHighestPointFrequency || std::fabs(db) > kLargestGain) {
            Skipped(line, Skip::OutOfRange, Detail(point));
            continue;
        }
        m_points.push_back({hz, db, line, Detail(point)});
    }
}

double Interpolate(const std::vector<Point>& points, double hz)
{
    if (hz <= points.front().hz)
        return points.front().db;
    if (hz >= points.back().hz)
        return points.back().db;
    // The first point above hz; the one before it is at or below.
    const auto above = std::upper_bound(points.begin(), points.end(), hz,
                                        [](double f, const Point& p) { return f < p.hz; });
    const Point& low = *(above - 1);
    const Point& high = *above;
    if (hz == low.hz)
        return low.db;
    const double t = (std::log(hz) - std::log(low.hz)) / (std::log(high.hz) - std::log(low.hz));
    return low.db + t * (high.db - low.db);
}

void FileReader::Finish()
{
    Compute();
    std::stable_sort(m_result.skipped.begin(), m_result.skipped.end(),
                     [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
}

void FileReader::Compute()
{
    if (m_graphicLine != 0) {
        m_result.format = Format::Graphic;
        // Sorted by frequency; of two points at one frequency the later holds.
        std::stable_sort(m_points.begin(), m_points.end(), [](const Point& a, const Point& b) { return a.hz < b.hz; });
        std::vector<Point> points;
        for (const Point& p : m_points) {
            if (!points.empty() && points.back().hz == p.hz) {
                Skipped(points.back().line, Skip::ReplacedPoint, points.back().text);
                points.back() = p;
            } else {
                points.push_back(p);
            }
        }
        m_result.used = static_cast<int>(points.size());
        if (points.empty()) {
            m_result.refusal = Refusal::NothingUsable;
            return;
        }
        for (size_t band = 0; band < kBands; ++band)
            m_result.db[band] = m_result.preampDb + Interpolate(points, kBandHz[band]);
    } else {
        m_result.format = Format::Parametric;
        m_result.used = static_cast<int>(m_filters.size());
        if (m_filters.empty()) {
            m_result.refusal = Refusal::NothingUsable;
            return;
        }
        for (size_t band = 0; band < kBands; ++band) {
            double total = m_result.preampDb;
            for (const auto& [line, f] : m_filters) {
                (void)line;
                total += ResponseDb(f.kind, f.fc, f.gain, f.q, kBandHz[band]);
            }
            m_result.db[band] = total;
        }
    }
    for (size_t band = 0; band < kBands; ++band) {
        const double fixed = std::clamp(m_result.db[band] * model::kOneDb, -1e12, 1e12);
        const long long rounded = std::isfinite(fixed) ? std::llround(fixed) : 0;
        const long long held = std::clamp<long long>(rounded, model::kLowestBandGain, model::kHighestBandGain);
        m_result.gains[band] = static_cast<int32_t>(held);
        m_result.clamped[band] = held != rounded;
    }
}

} // namespace

double ResponseDb(FilterKind kind, double fc, double gainDb, double q, double hz)
{
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = 2 * kPi * fc / kSampleRate;
    const double cosW0 = std::cos(w0);
    const double alpha = std::sin(w0) / (2 * q);
    const double twoRootAAlpha = 2 * std::sqrt(a) * alpha;
    double b0, b1, b2, a0, a1, a2;
    switch (kind) {
    case FilterKind::Peaking:
        b0 = 1 + alpha * a;
        b1 = -2 * cosW0;
        b2 = 1 - alpha * a;
        a0 = 1 + alpha / a;
        a1 = -2 * cosW0;
        a2 = 1 - alpha / a;
        break;
    case FilterKind::LowShelf:
        b0 = a * ((a + 1) - (a - 1) * cosW0 + twoRootAAlpha);
        b1 = 2 * a * ((a - 1) - (a + 1) * cosW0);
        b2 = a * ((a + 1) - (a - 1) * cosW0 - twoRootAAlpha);
        a0 = (a + 1) + (a - 1) * cosW0 + twoRootAAlpha;
        a1 = -2 * ((a - 1) + (a + 1) * cosW0);
        a2 = (a + 1) + (a - 1) * cosW0 - twoRootAAlpha;
        break;
    case FilterKind::HighShelf:
    default:
        b0 = a * ((a + 1) + (a - 1) * cosW0 + twoRootAAlpha);
        b1 = -2 * a * ((a - 1) + (a + 1) * cosW0);
        b2 = a * ((a + 1) + (a - 1) * cosW0 - twoRootAAlpha);
        a0 = (a + 1) - (a - 1) * cosW0 + twoRootAAlpha;
        a1 = 2 * ((a - 1) - (a + 1) * cosW0);
        a2 = (a + 1) - (a - 1) * cosW0 - twoRootAAlpha;
        break;
    }
    const double w = 2 * kPi * hz / kSampleRate;
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const double numerator = std::abs(b0 + b1 * z1 + b2 * z2);
    const double denominator = std::abs(a0 + a1 * z1 + a2 * z2);
    return 20 * std::log10(numerator / denominator);
}

Correction Parse(std::string_view bytes)
{
    Correction result;
    if (bytes.size() > kMaxFileBytes) {
        result.refusal = Refusal::TooLarge;
        return result;
    }
    if (bytes.substr(0, utf8::kByteOrderMark.size()) == utf8::kByteOrderMark)
        bytes.remove_prefix(utf8::kByteOrderMark.size());
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        result.refusal = Refusal::Empty;
        return result;
    }
    FileReader reader(result);
    int line = 0;
    while (!bytes.empty()) {
        ++line;
        const size_t end = bytes.find('\n');
        std::string_view text = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        reader.Take(line, text);
    }
    reader.Finish();
    return result;
}

std::string WriteGraphic(const Gains& gains)
{
    std::string out = "GraphicEQ:";
    for (size_t band = 0; band < kBands; ++band) {
        // The fewest decimals that give back exactly this gain (five always do:
        // a step is 1/65536 dB).
        char text[32] = {};
        for (int decimals = 0; decimals <= 6; ++decimals) {
            const double db = static_cast<double>(gains[band]) / model::kOneDb;
            const auto written = std::to_chars(text, text + sizeof text - 1, db, std::chars_format::fixed, decimals);
            *written.ptr = '\0';
            double back = 0;
            std::from_chars(text, written.ptr, back, std::chars_format::fixed);
            if (std::llround(back * model::kOneDb) == gains[band])
                break;
        }
        std::string number = text;
        if (number == "-0")
            number = "0";
        out += (band == 0 ? " " : "; ") + std::to_string(static_cast<int>(kBandHz[band])) + " " + number;
    }
    return out + "\r\n";
}

std::wstring ShowDb(double db)
{
    char text[32] = {};
    const double shown = std::round(db * 10) / 10;
    const auto written = std::to_chars(text, text + sizeof text - 1, shown == 0 ? 0.0 : shown,
                                       std::chars_format::fixed, 1);
    *written.ptr = '\0';
    std::string number = text;
    if (shown > 0)
        number = "+" + number;
    return utf8::DecodeLenient(number);
}

} // namespace eqfile
