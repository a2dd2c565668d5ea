#pragma once
// An independent model of how the store reads an integer, for the randomized
// test and the native fuzzer: the digits are compared as text against the
// 32-bit limits instead of being accumulated, and the clipped text is cut
// with string operations. White space is whatever the C library calls white
// space, as for the program.
#include <climits>
#include <cstddef>
#include <cwctype>
#include <string>

namespace regintmodel {

inline std::wstring Clip(const std::wstring& stored, size_t limit)
{
    std::wstring text = stored.substr(0, stored.find(L'\0'));
    return text.substr(0, limit);
}

inline int Convert(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    const bool negative = i < text.size() && text[i] == L'-';
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        ++i;
    std::string digits;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (digits.empty() && text[i] == L'0')
            continue; // leading zeros do not count
        digits += static_cast<char>(text[i]);
    }
    // Magnitudes are compared as equal-length digit texts.
    const std::string maxMagnitude = negative ? "2147483648" : "2147483647";
    if (digits.size() > maxMagnitude.size() ||
        (digits.size() == maxMagnitude.size() && digits > maxMagnitude))
        return negative ? INT_MIN : INT_MAX;
    if (digits.empty())
        return 0;
    const long long magnitude = std::stoll(digits);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace regintmodel
