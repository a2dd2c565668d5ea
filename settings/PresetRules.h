#pragma once
// The rules a user preset's name must pass before it becomes a subkey of
// Custom\ in the store: the Hifi page's "+" checks a name by them, and so do
// the settings and equalizer imports. Kept free of the Windows API (but for
// one comparison) so the native fuzzing build compiles it unchanged.
#include <cstddef>
#include <string>
#include <vector>

namespace presets {

// Leading and trailing spaces removed.
std::wstring TrimSpaces(const std::wstring& text);
// Registry key names are limited to 255 UTF-16 code units.
constexpr size_t kNameLimit = 255;
enum class NameCheck { Ok, Duplicate, Invalid };
// Checks a trimmed name against the listed names. Key names in the store are
// not case-sensitive, so a name equal to a listed one in any letter case is
// a duplicate (tested first, so an empty name with an empty entry is one).
// Invalid: empty, a backslash (it would become a nested key), or too long.
NameCheck CheckName(const std::wstring& name, const std::vector<std::wstring>& listed);
// Whether two names address the same key of the store.
bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b);
// The length of a text in UTF-16 code units (wchar_t is 32 bits wide in the
// native fuzzing build).
size_t Utf16Length(const std::wstring& text);

} // namespace presets
