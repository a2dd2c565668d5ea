#include "TestSupport.h"

#include <thread>
#include <vector>

namespace testsupport {

void PumpMessages(std::chrono::milliseconds duration)
{
    auto end = std::chrono::steady_clock::now() + duration;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (std::chrono::steady_clock::now() >= end)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now() < end);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return done();
        PumpMessages(std::chrono::milliseconds(5));
    }
    return true;
}

HCURSOR CursorOver(HWND wnd)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    size_t slash = folder.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

namespace {

HKEY Open(const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void ReadInto(const std::wstring& path, const std::wstring& relative, RegistryTree& tree)
{
    HKEY key = Open(path, KEY_READ);
    if (!key)
        return;
    tree[relative + L"|"] = {};
    DWORD maxName = 0, maxData = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                       nullptr, nullptr);
    for (DWORD i = 0;; ++i) {
        std::vector<wchar_t> name(maxName + 2);
        std::vector<BYTE> data(maxData + 2);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        data.resize(size);
        tree[relative + L"|" + std::wstring(name.data(), nameLength)] = {type, std::move(data)};
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    for (const std::wstring& child : children)
        ReadInto(path + L"\\" + child, relative.empty() ? child : relative + L"\\" + child, tree);
}

} // namespace

RegistryTree ReadTree(const std::wstring& path)
{
    RegistryTree tree;
    ReadInto(path, L"", tree);
    return tree;
}

RegistrySnapshot::RegistrySnapshot(std::wstring path) : m_path(std::move(path)), m_saved(ReadTree(m_path)) {}

RegistrySnapshot::~RegistrySnapshot()
{
    DeleteTree(m_path);
    // A key's mark comes before its values in the map's order; a key whose
    // default value is set has that value in place of its mark. Creating a
    // child key creates its parents.
    for (const auto& [entry, value] : m_saved) {
        const size_t bar = entry.find(L'|');
        const std::wstring relative = entry.substr(0, bar);
        const std::wstring path = relative.empty() ? m_path : m_path + L"\\" + relative;
        CreateKey(path);
        const bool mark = bar + 1 == entry.size() && value.first == REG_NONE && value.second.empty();
        HKEY key = mark ? nullptr : Open(path, KEY_SET_VALUE);
        if (!key)
            continue;
        ::RegSetValueExW(key, entry.c_str() + bar + 1, 0, value.first, value.second.data(),
                         static_cast<DWORD>(value.second.size()));
        ::RegCloseKey(key);
    }
}

void DeleteTree(const std::wstring& path)
{
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

void CreateKey(const std::wstring& path)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        ::RegCloseKey(key);
}

void SetText(const std::wstring& path, const std::wstring& name, const std::wstring& value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

bool GetText(const std::wstring& path, const std::wstring& name, std::wstring* value)
{
    HKEY key = Open(path, KEY_READ);
    if (!key)
        return false;
    wchar_t buf[4096] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    DWORD type = 0;
    LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return false;
    if (value)
        *value = buf;
    return true;
}

bool KeyExists(const std::wstring& path)
{
    HKEY key = Open(path, KEY_READ);
    if (!key)
        return false;
    ::RegCloseKey(key);
    return true;
}

} // namespace testsupport
