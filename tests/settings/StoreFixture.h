#pragma once
// The settings key of the test prefix with its four subkeys, restored after
// each test, and raw access to it as another program would have.
#include "Handles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

class StoreFixture : public ::testing::Test {
protected:
    static inline const std::wstring kRootPath = L"Software\\Marvolin\\VANTIR";

    void SetUp() override
    {
        for (const wchar_t* sub : {L"\\CPL", L"\\Hifi", L"\\Digital", L"\\Info"})
            testsupport::CreateKey(kRootPath + sub);
    }

    static void SetRaw(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size)
    {
        fw::UniqueKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    key.put(), nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    }

    // The type and the text (its terminating null included) of a short value.
    static std::pair<DWORD, std::wstring> Raw(const std::wstring& path, const wchar_t* name)
    {
        fw::UniqueKey key;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
            return {REG_NONE, L"(no key)"};
        DWORD type = REG_NONE;
        wchar_t data[64] = {};
        DWORD bytes = sizeof data;
        if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) != ERROR_SUCCESS)
            return {REG_NONE, L"(no value)"};
        return {type, std::wstring(data, bytes / sizeof(wchar_t))};
    }

    testsupport::RegistrySnapshot snapshot{kRootPath};
};
