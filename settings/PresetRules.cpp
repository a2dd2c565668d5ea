#include "PresetRules.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cwctype>
#endif

namespace presets {

std::wstring TrimSpaces(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return {};
    size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
#ifdef _WIN32
    // The store compares key names without regard to case the same way.
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
#else
    // The native fuzzing build has no store: a close stand-in.
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return false;
    }
    return true;
#endif
}

size_t Utf16Length(const std::wstring& text)
{
    // A code point beyond the first plane takes two units (a surrogate pair);
    // with 16-bit wchar_t the pair is already two characters.
    size_t units = text.size();
    for (wchar_t c : text)
        units += static_cast<uint32_t>(c) >> 16 ? 1 : 0;
    return units;
}

NameCheck CheckName(const std::wstring& name, const std::vector<std::wstring>& listed)
{
    for (const std::wstring& entry : listed) {
        if (SameNameIgnoringCase(name, entry))
            return NameCheck::Duplicate;
    }
    if (name.empty() || name.find(L'\\') != std::wstring::npos || Utf16Length(name) > kNameLimit)
        return NameCheck::Invalid;
    return NameCheck::Ok;
}

} // namespace presets
