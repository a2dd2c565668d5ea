// What the VANTIR card's installer writes for the control panel: the settings
// key with its four subkeys, and the version texts the Info page shows.
// Existing keys and the user's settings in them are kept, so they survive a
// reinstall; only the two version texts are rewritten.
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

const wchar_t kRoot[] = L"Software\\Marvolin\\VANTIR";
const wchar_t* const kSubkeys[] = {L"CPL", L"Hifi", L"Digital", L"Info"};
const wchar_t kDriverVersion[] = L"6.0.1.23";
const wchar_t kPanelVersion[] = L"1.0.0.1";

bool CreateKey(const std::wstring& path, HKEY* out)
{
    return ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, out, nullptr) == ERROR_SUCCESS;
}

bool SetText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

int wmain()
{
    for (const wchar_t* sub : kSubkeys) {
        HKEY key = nullptr;
        if (!CreateKey(std::wstring(kRoot) + L"\\" + sub, &key)) {
            std::fwprintf(stderr, L"VantirSetup: cannot create %ls\\%ls\n", kRoot, sub);
            return 1;
        }
        ::RegCloseKey(key);
    }
    HKEY info = nullptr;
    if (!CreateKey(std::wstring(kRoot) + L"\\Info", &info))
        return 1;
    bool ok = SetText(info, L"DriverVer", kDriverVersion) && SetText(info, L"CPLVer", kPanelVersion);
    ::RegCloseKey(info);
    return ok ? 0 : 1;
}
