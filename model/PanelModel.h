#pragma once
// The panel's own ideas, named once: its pages, its interface languages, the
// Hifi page's tone groups and sizes, who changed a volume, and the card's
// output switch. The numbers written here are the ones the panel exchanges
// with the outside (window messages, the text kept in the registry, calls
// into the card's library); inside the program the names are used, and
// Number() gives the number where a name meets the outside.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace model {

// The number a named idea has outside the program.
template <typename E>
    requires std::is_enum_v<E>
constexpr std::underlying_type_t<E> Number(E value)
{
    return static_cast<std::underlying_type_t<E>>(value);
}

// ---------------------------------------------------------------------------
// Pages. The number is WM_SHOW_PAGE's lParam and the row of the page column's
// tables.

enum class Page : int { Main = 0, Hifi = 1, Digital = 2, Info = 3, Hp = 4 };
inline constexpr int kPageCount = 5;
// Every page, in number order.
inline constexpr std::array<Page, kPageCount> kPages = {Page::Main, Page::Hifi, Page::Digital, Page::Info, Page::Hp};

// The page a number names; none for any other number.
constexpr std::optional<Page> PageFromNumber(long long number)
{
    if (number < 0 || number >= kPageCount)
        return std::nullopt;
    return static_cast<Page>(number);
}

// ---------------------------------------------------------------------------
// Interface languages. The number is WM_SET_LANGUAGE's lParam and the text of
// CPL\language; every page shows the background of the language.

enum class Language : int { TraditionalChinese = 0, SimplifiedChinese = 1, English = 2 };
inline constexpr int kLanguageCount = 3;

// The one range check of a language number: the language it names, none for
// any other number (which changes no page's language).
constexpr std::optional<Language> LanguageFromNumber(long long number)
{
    if (number < 0 || number >= kLanguageCount)
        return std::nullopt;
    return static_cast<Language>(number);
}

// One thing per language, in the three columns every language table has:
// Traditional Chinese, Simplified Chinese, English (a page's backgrounds, the
// first environment picture, the wording of a warning).
template <typename T>
class ByLanguage {
public:
    constexpr ByLanguage(T traditional, T simplified, T english) : m_columns{traditional, simplified, english} {}
    constexpr const T& operator[](Language language) const
    {
        return m_columns[static_cast<std::size_t>(language)];
    }

private:
    std::array<T, kLanguageCount> m_columns;
};

// ---------------------------------------------------------------------------
// The Hifi page.

// The four tone groups, of which at most one is on; the number is the text of
// Hifi\InitialButtonOn.
enum class ToneGroup : int { None = -1, BassTreble = 0, RegionStyle = 1, BuiltInPreset = 2, Equalizer = 3 };

// The group a stored number names; none for a number that names no group (the
// page then shows every group off, like None, but tells the card nothing).
constexpr std::optional<ToneGroup> ToneGroupFromNumber(int number)
{
    if (number < -1 || number > 3)
        return std::nullopt;
    return static_cast<ToneGroup>(number);
}

// The ten equalizer bands (30, 60, 120, 250, 500, 1K, 2K, 4K, 8K, 16K Hz).
inline constexpr int kBandCount = 10;
// A band gain is 16.16 fixed-point decibels. The band sliders reach -20 dB at
// the bottom and 1310680 at the top: their range is deliberately not symmetric.
inline constexpr int32_t kOneDb = 65536;
inline constexpr int32_t kLowestBandGain = -20 * kOneDb;
inline constexpr int32_t kHighestBandGain = 1310680;

inline constexpr int kRegionStyleCount = 5;
inline constexpr int kPresetCount = 12; // built-in equalizer presets
inline constexpr int kEnvironmentCount = 23;
inline constexpr int kRoomSizeCount = 3; // living room, entertainment room, bedroom
// Bass and treble knob positions run 0 ... 52.
inline constexpr int kToneKnobMax = 52;

// ---------------------------------------------------------------------------
// Who changed a volume or a mute: WM_VOLUME_CHANGED's wParam.

enum class VolumeNoticeSource : unsigned {
    OtherProgram = 0,    // an endpoint changed without the panel's event context
    HardwareControl = 1, // a hardware control behind the default endpoint changed
    ThisPanel = 10,      // an endpoint changed by the panel itself
};

// ---------------------------------------------------------------------------
// The card's output switch: the value of CMSUP_SetSpkData / CMSUP_GetSpkData.

enum class OutputSwitch : int32_t { Headphones = 1, Speakers = 0x00140004 };

// What the card reports: 1 is headphones, any other value speakers.
constexpr OutputSwitch OutputSwitchFromCard(int32_t value)
{
    return value == 1 ? OutputSwitch::Headphones : OutputSwitch::Speakers;
}

} // namespace model
