// The integer reader against an independent model on seeded random texts:
// directly on the conversion, and through the real registry of the test
// prefix for a share of the texts. The seed is printed with every failure;
// ZEPHRIN_SEED repeats a run.
#include "RegIntModel.h"
#include "SettingsStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

unsigned SeedFromEnvironment()
{
    const char* text = std::getenv("ZEPHRIN_SEED");
    return text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 20261208u;
}

// Texts built from the pieces that decide a conversion: white space of
// several kinds, signs, zeros, digit runs around the 32-bit limits, letters,
// other scripts' digits and spaces, nulls, and long runs.
std::wstring RandomText(std::mt19937& rng)
{
    static const wchar_t kSpaces[] = {L' ', L'\t', L'\n', L'\r', L'\v', L'\f', 0xA0, 0x3000, 0x2028, 0x85};
    static const wchar_t kOthers[] = {L'a', L'x', L'Z', L'.', L'e', L'%', 0xFF11 /* fullwidth 1 */,
                                      0x0661 /* Arabic-Indic 1 */, 0xD800, 0xFFFF, L'\0'};
    static const wchar_t* const kNumbers[] = {L"2147483647", L"2147483648", L"2147483649", L"4294967296",
                                              L"9223372036854775808", L"0000000000002147483647"};
    std::uniform_int_distribution<int> pieces(0, 8);
    std::uniform_int_distribution<int> kind(0, 9);
    std::wstring text;
    for (int n = pieces(rng); n > 0; --n) {
        switch (kind(rng)) {
        case 0:
        case 1:
            text += kSpaces[rng() % std::size(kSpaces)];
            break;
        case 2:
            text += (rng() % 2) ? L'-' : L'+';
            break;
        case 3:
        case 4:
            for (int d = static_cast<int>(rng() % 12); d >= 0; --d)
                text += static_cast<wchar_t>(L'0' + rng() % 10);
            break;
        case 5:
            text += kNumbers[rng() % std::size(kNumbers)];
            break;
        case 6:
            text += kOthers[rng() % std::size(kOthers)];
            break;
        case 7:
            text += L'0';
            break;
        case 8:
            text.append(90 + rng() % 20, (rng() % 2) ? L' ' : L'7');
            break;
        default:
            text += static_cast<wchar_t>(1 + rng() % 0xFFFE);
            break;
        }
    }
    return text;
}

TEST(StoredTextRandomTest, ConversionAgreesWithTheModel)
{
    const unsigned seed = SeedFromEnvironment();
    std::mt19937 rng(seed);
    for (int i = 0; i < 200000; ++i) {
        const std::wstring text = RandomText(rng);
        const std::wstring clipped = storedtext::Clip(text.data(), text.size(), storedtext::kIntReadLimit);
        ASSERT_EQ(clipped, regintmodel::Clip(text, storedtext::kIntReadLimit)) << "seed " << seed << " case " << i;
        ASSERT_EQ(ParseRegInt(text), regintmodel::Convert(text)) << "seed " << seed << " case " << i;
    }
}

TEST(StoredTextRandomTest, StoredValuesReadAsTheModelSays)
{
    const std::wstring root = L"Software\\Marvolin\\VANTIR";
    testsupport::RegistrySnapshot snapshot{root};
    testsupport::CreateKey(root + L"\\Hifi");
    const unsigned seed = SeedFromEnvironment() + 1;
    std::mt19937 rng(seed);
    for (int i = 0; i < 400; ++i) {
        std::wstring text = RandomText(rng);
        // The registry keeps a text up to its length; an embedded null ends
        // what the readers see.
        HKEY key = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (root + L"\\Hifi").c_str(), 0, KEY_SET_VALUE, &key),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, L"probe", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
        const std::wstring seen = regintmodel::Clip(text, storedtext::kIntReadLimit);
        ASSERT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"probe"), regintmodel::Convert(seen))
            << "seed " << seed << " case " << i;
        ASSERT_EQ(ReadRegString(kRegRoot, L"Hifi", L"probe"), regintmodel::Clip(text, storedtext::kTextReadLimit))
            << "seed " << seed << " case " << i;
    }
}

} // namespace
