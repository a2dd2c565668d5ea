// libFuzzer target for the store's text handling, built natively for Linux by
// scripts/fuzz-store (not part of the test suite). The input bytes are read
// as the UTF-16 code units of a stored value; the clipped text and the
// integer must agree with the independent model, and the sanitizers watch
// every access.
#include "RegIntModel.h"
#include "StoredText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Mismatch(const char* what, long long got, long long expected)
{
    std::fprintf(stderr, "mismatch in %s: got %lld, model %lld\n", what, got, expected);
    std::abort();
}

void Check(const std::wstring& stored, size_t limit)
{
    // The exact length read from the registry: no terminator after it.
    auto* raw = new wchar_t[stored.size() ? stored.size() : 1];
    std::copy(stored.begin(), stored.end(), raw);
    const std::wstring clipped = storedtext::Clip(raw, stored.size(), limit);
    delete[] raw;
    const std::wstring expected = regintmodel::Clip(stored, limit);
    if (clipped != expected)
        Mismatch("Clip (length)", static_cast<long long>(clipped.size()), static_cast<long long>(expected.size()));
    const int value = ParseRegInt(clipped);
    const int model = regintmodel::Convert(expected);
    if (value != model)
        Mismatch("ParseRegInt", value, model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring stored;
    stored.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2)
        stored.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    Check(stored, storedtext::kIntReadLimit);
    Check(stored, storedtext::kTextReadLimit);
    // The conversion on its own, also for texts longer than any reader keeps.
    const int whole = ParseRegInt(stored);
    const int model = regintmodel::Convert(stored);
    if (whole != model)
        Mismatch("ParseRegInt (unclipped)", whole, model);
    return 0;
}
