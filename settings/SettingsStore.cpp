#include "SettingsStore.h"

#include "ComboBox.h"
#include "Handles.h"
#include "ProgramPath.h"

#include <algorithm>
#include <vector>
#include <windows.h>

namespace {

using storedtext::kIntReadLimit;
using storedtext::kTextReadLimit;
constexpr DWORD kSubkeyNameLimit = 260;

fw::UniqueKey OpenKey(const std::wstring& path, REGSAM access)
{
    fw::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        return fw::UniqueKey();
    return key;
}

// Reads a REG_SZ value of an open key, keeping at most `limit` characters and
// stopping at the first null. A missing key or value, or a value of another
// type, reads as empty.
std::wstring QueryText(HKEY key, const wchar_t* name, size_t limit)
{
    if (!key)
        return {};
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return {};
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return storedtext::Clip(data.data(), std::min<size_t>(got / sizeof(wchar_t), data.size()), limit);
}

std::wstring QueryText(const std::wstring& path, const std::wstring& name, size_t limit)
{
    return QueryText(OpenKey(path, KEY_QUERY_VALUE).get(), name.c_str(), limit);
}

bool SetText(HKEY key, const std::wstring& name, const std::wstring& data)
{
    return ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

int ReadRegInt(std::wstring root, std::wstring subkey, std::wstring name)
{
    return ParseRegInt(QueryText(root + subkey, name, kIntReadLimit));
}

std::vector<int> ReadRegInts(std::wstring root, std::wstring subkey, std::span<const wchar_t* const> names)
{
    fw::UniqueKey key = OpenKey(root + subkey, KEY_QUERY_VALUE);
    std::vector<int> numbers;
    numbers.reserve(names.size());
    for (const wchar_t* name : names)
        numbers.push_back(ParseRegInt(QueryText(key.get(), name, kIntReadLimit)));
    return numbers;
}

bool RegKeyExists(std::wstring root, std::wstring subkey)
{
    return static_cast<bool>(OpenKey(root + subkey, KEY_READ));
}

std::wstring ReadRegString(std::wstring root, std::wstring subkey, std::wstring name)
{
    return QueryText(root + subkey, name, kTextReadLimit);
}

bool WriteRegString(std::wstring root, std::wstring subkey, std::wstring name, std::wstring data)
{
    fw::UniqueKey key = OpenKey(root + subkey, KEY_SET_VALUE);
    if (!key)
        return false;
    return SetText(key.get(), name, data);
}

void CreateRegString(std::wstring root, std::wstring subkey, std::wstring name, std::wstring data)
{
    fw::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (root + subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    SetText(key.get(), name, data);
}

void DeleteRegKey(std::wstring root, std::wstring subkey)
{
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (root + subkey).c_str());
}

bool RegValueStored(std::wstring root, std::wstring subkey, std::wstring name)
{
    fw::UniqueKey key = OpenKey(root + subkey, KEY_QUERY_VALUE);
    DWORD type = 0;
    return key && ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_SZ;
}

bool CreateRegKey(std::wstring root, std::wstring subkey)
{
    fw::UniqueKey key;
    return ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (root + subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_QUERY_VALUE, nullptr, key.put(), nullptr) == ERROR_SUCCESS;
}

std::vector<std::wstring> ListRegSubkeys(std::wstring keyPath)
{
    std::vector<std::wstring> names;
    fw::UniqueKey key = OpenKey(keyPath, KEY_ENUMERATE_SUB_KEYS);
    for (DWORD index = 0; key; ++index) {
        wchar_t name[kSubkeyNameLimit] = {};
        DWORD length = kSubkeyNameLimit;
        if (::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

void FillComboWithSubkeys(CComboBox& combo, std::wstring keyPath)
{
    // The list always ends up showing exactly the key's subkeys: a missing
    // key leaves it empty rather than showing names that are gone.
    const std::vector<std::wstring> names = ListRegSubkeys(keyPath);
    for (int i = combo.GetCount() - 1; i >= 0; --i)
        combo.DeleteString(i);
    for (const std::wstring& name : names)
        combo.AddString(name);
    combo.Invalidate();
}

std::wstring IniFilePath(const std::wstring& programPath, const std::wstring& fileName)
{
    size_t slash = programPath.rfind(L'\\');
    std::wstring directory = slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash);
    return directory + L"\\" + fileName;
}

int ReadIniInt(std::wstring fileName, std::wstring section, std::wstring key)
{
    const std::wstring file = IniFilePath(fw::ProgramPath(), fileName);
    return static_cast<int>(::GetPrivateProfileIntW(section.c_str(), key.c_str(), -1, file.c_str()));
}
