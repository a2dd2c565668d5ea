#include "StoredText.h"

#include <cwctype>

namespace storedtext {

std::wstring Clip(const wchar_t* data, size_t chars, size_t limit)
{
    size_t length = 0;
    while (length < chars && length < limit && data[length] != L'\0')
        ++length;
    return std::wstring(data, length);
}

} // namespace storedtext

int ParseRegInt(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Accumulate in 64 bits and saturate like strtol, so overlong digit runs
    // cannot overflow.
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > 2147483648LL)
            value = 2147483648LL;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        value = 2147483647LL;
    return static_cast<int>(value);
}
