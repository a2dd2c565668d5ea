#include "Utf8.h"

#include <cstdint>

namespace utf8 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point of the sequence starting at bytes[i] and its length, or a
// length of 0 when the bytes there are not a valid sequence.
struct Sequence {
    char32_t point;
    size_t length;
};

Sequence Next(std::string_view bytes, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(bytes[k]); };
    const uint8_t lead = byte(i);
    if (lead < 0x80)
        return {lead, 1};
    size_t length;
    char32_t point;
    char32_t lowest;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        point = lead & 0x1F;
        lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        point = lead & 0x0F;
        lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        point = lead & 0x07;
        lowest = 0x10000;
    } else {
        return {0, 0};
    }
    if (bytes.size() - i < length)
        return {0, 0};
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return {0, 0};
        point = (point << 6) | (byte(i + k) & 0x3F);
    }
    if (point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return {0, 0};
    return {point, length};
}

void Append(std::wstring* out, char32_t point)
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (point > 0xFFFF) {
            point -= 0x10000;
            out->push_back(static_cast<wchar_t>(0xD800 + (point >> 10)));
            out->push_back(static_cast<wchar_t>(0xDC00 + (point & 0x3FF)));
            return;
        }
    }
    out->push_back(static_cast<wchar_t>(point));
}

void AppendUtf8(std::string* out, char32_t point)
{
    if (point < 0x80) {
        out->push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (point >> 6)));
        out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (point >> 12)));
        out->push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (point >> 18)));
        out->push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

} // namespace

bool Decode(std::string_view bytes, std::wstring* out)
{
    out->clear();
    out->reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const Sequence s = Next(bytes, i);
        if (s.length == 0)
            return false;
        Append(out, s.point);
        i += s.length;
    }
    return true;
}

std::wstring DecodeLenient(std::string_view bytes)
{
    std::wstring out;
    for (size_t i = 0; i < bytes.size();) {
        const Sequence s = Next(bytes, i);
        Append(&out, s.length ? s.point : kReplacement);
        i += s.length ? s.length : 1;
    }
    return out;
}

std::string Encode(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t point = static_cast<char32_t>(static_cast<uint32_t>(text[i]));
        if constexpr (sizeof(wchar_t) == 2) {
            if (point >= 0xD800 && point <= 0xDBFF && i + 1 < text.size()) {
                const char32_t low = static_cast<char32_t>(static_cast<uint16_t>(text[i + 1]));
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if ((point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            point = kReplacement;
        AppendUtf8(&out, point);
    }
    return out;
}

} // namespace utf8
