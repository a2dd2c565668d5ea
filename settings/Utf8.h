#pragma once
// UTF-8 to and from the wide text the panel uses everywhere else (UTF-16 on
// Windows; the native fuzzing build, where wchar_t holds whole code points,
// gets code points). Free of the Windows API.
#include <string>
#include <string_view>

namespace utf8 {

// The three bytes a UTF-8 file may start with.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Strict decoding: false for overlong forms, encoded surrogates, code points
// beyond U+10FFFF and cut sequences (`out` then holds what came before).
bool Decode(std::string_view bytes, std::wstring* out);
// Lenient decoding for showing text that may not be UTF-8: every byte that is
// not part of a valid sequence becomes U+FFFD.
std::wstring DecodeLenient(std::string_view bytes);
// A lone surrogate becomes U+FFFD.
std::string Encode(const std::wstring& text);

} // namespace utf8
