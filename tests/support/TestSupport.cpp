#include "TestSupport.h"

#include <memory>
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

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    size_t slash = folder.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

struct RegistrySnapshot::Node {
    std::wstring name;
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<Value> values;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {


HKEY Open(const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

static RegistrySnapshot::Node* SaveTree(const std::wstring& path, const std::wstring& name);

RegistrySnapshot::RegistrySnapshot(std::wstring path) : m_path(std::move(path))
{
    m_saved = SaveTree(m_path, L"");
}

static void RestoreTree(const std::wstring& path, const RegistrySnapshot::Node& node)
{
    CreateKey(path);
    HKEY key = Open(path, KEY_ALL_ACCESS);
    if (!key)
        return;
    for (const auto& v : node.values)
        ::RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    ::RegCloseKey(key);
    for (const auto& child : node.children)
        RestoreTree(path + L"\\" + child->name, *child);
}

RegistrySnapshot::~RegistrySnapshot()
{
    DeleteTree(m_path);
    if (m_saved) {
        RestoreTree(m_path, *m_saved);
        delete m_saved;
    }
}

static RegistrySnapshot::Node* SaveTree(const std::wstring& path, const std::wstring& name)
{
    HKEY key = Open(path, KEY_READ);
    if (!key)
        return nullptr;
    auto* node = new RegistrySnapshot::Node;
    node->name = name;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[16384];
        DWORD nameLen = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (::RegEnumValueW(key, i, valueName, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(size);
        nameLen = 16384;
        ::RegEnumValueW(key, i, valueName, &nameLen, nullptr, &type, data.data(), &size);
        data.resize(size);
        node->values.push_back({std::wstring(valueName, nameLen), type, std::move(data)});
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t sub[256];
        DWORD len = 256;
        if (::RegEnumKeyExW(key, i, sub, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(sub, len);
    }
    ::RegCloseKey(key);
    for (const auto& sub : subkeys) {
        if (RegistrySnapshot::Node* child = SaveTree(path + L"\\" + sub, sub))
            node->children.emplace_back(child);
    }
    return node;
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
