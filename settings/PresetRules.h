#pragma once
// What a user equalizer preset is in the store, without any window: the ten
// band values of Custom\<name>, the gains the panel can hold, and the rules a
// name must pass before it becomes a subkey. The Hifi page saves presets by
// these rules and the settings and equalizer imports check names by them.
// Kept free of the Windows API (but for one comparison) so the native fuzzing
// build compiles it unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace presets {

constexpr int kBandCount = 10;
// The stored value name of each band, in band order (30 Hz ... 16 kHz): the
// same names under subkey Hifi and under each Custom\<name>.
inline constexpr const wchar_t* kBandValues[kBandCount] = {L"eq_0", L"eq_1", L"eq_2", L"eq_3", L"eq_4",
                                                           L"eq_5", L"eq_6", L"eq_7", L"eq_8", L"eq_9"};
// The preset chosen last carries "1" here, every other one "0".
inline constexpr const wchar_t* kFlagValue = L"flag";
// Band frequencies in hertz, in band order.
inline constexpr double kBandHz[kBandCount] = {30, 60, 120, 250, 500, 1000, 2000, 4000, 8000, 16000};

// Band gains are 16.16 fixed-point decibels. The band sliders reach -20 dB
// at the bottom but stop one step of 40 below +20 dB at the top (their range
// is not symmetric), so these are the gains a band can show and send.
constexpr int32_t kOneDb = 65536;
constexpr int32_t kLowestGain = -1310720;
constexpr int32_t kHighestGain = 1310680;

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
