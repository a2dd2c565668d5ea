#pragma once
// The store's text handling that needs no Windows API: how much of a stored
// text the readers keep and how the integer reader converts it. Kept apart
// from the registry calls so the native fuzzing build compiles it unchanged.
#include <cstddef>
#include <string>

namespace storedtext {

// How many characters the integer and text readers take of a stored value.
constexpr size_t kIntReadLimit = 100;
constexpr size_t kTextReadLimit = 1000;

// The text a reader sees of `chars` characters read from the store: up to the
// first null, and at most `limit` characters.
std::wstring Clip(const wchar_t* data, size_t chars, size_t limit);

} // namespace storedtext

// The C-library style conversion ReadRegInt applies: leading white space, an
// optional sign, the longest run of decimal digits; no digits give 0, and
// numbers beyond the 32-bit range saturate at its ends.
int ParseRegInt(const std::wstring& text);
