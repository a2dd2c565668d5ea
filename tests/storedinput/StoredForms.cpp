#include "StoredForms.h"
#include "TestSupport.h"

#include <climits>

namespace storedinput {

namespace {

std::vector<BYTE> TextBytes(const std::wstring& text)
{
    const auto* p = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t));
}

Form Text(const std::wstring& label, const std::wstring& text, int reads)
{
    return Form{label, REG_SZ, TextBytes(text), reads, text.substr(0, 1000)};
}

} // namespace

const std::vector<Form>& Forms()
{
    static const std::vector<Form> forms = [] {
        std::vector<Form> f;
        f.push_back(Text(L"empty", L"", 0));
        f.push_back(Text(L"blanks", L"    ", 0));
        f.push_back(Text(L"+7", L"+7", 7));
        f.push_back(Text(L"-0", L"-0", 0));
        f.push_back(Text(L"2147483648", L"2147483648", INT_MAX));
        f.push_back(Text(L"-2147483649", L"-2147483649", INT_MIN));
        f.push_back(Text(L"1abc", L"1abc", 1));
        // Only the first 100 characters count: the digit at the 100th does,
        // the ones after it do not.
        f.push_back(Text(L"10000 chars, digit at 100", std::wstring(99, L' ') + L"2" + std::wstring(9900, L'9'), 2));
        f.push_back(Text(L"10000 chars, long negative", L"-" + std::wstring(9999, L'9'), INT_MIN));
        const DWORD one = 1;
        f.push_back(Form{L"DWORD 1", REG_DWORD, std::vector<BYTE>(reinterpret_cast<const BYTE*>(&one),
                                                                  reinterpret_cast<const BYTE*>(&one) + 4),
                         0, L""});
        f.push_back(Form{L"binary \"1\"", REG_BINARY, TextBytes(L"1"), 0, L""});
        return f;
    }();
    return forms;
}

void Store(const std::wstring& path, const std::wstring& name, const Form& form)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, name.c_str(), 0, form.type, form.bytes.data(), static_cast<DWORD>(form.bytes.size()));
    ::RegCloseKey(key);
}

void StoreText(const std::wstring& path, const std::wstring& name, const std::wstring& text)
{
    Store(path, name, Text(L"", text, 0));
}

namespace {

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(::towlower(c));
    return text;
}

} // namespace

Tree Dump(const std::wstring& path)
{
    Tree tree = testsupport::ReadTree(path);
    // Key names are not case-sensitive: compare them in one case.
    Tree folded;
    for (auto& [name, value] : tree)
        folded[Lower(name)] = value;
    return folded;
}

void ExpectWrite(Tree& tree, const std::wstring& subkey, const std::wstring& name, const std::wstring& text)
{
    tree[Lower(subkey + L"|" + name)] = {REG_SZ, TextBytes(text)};
}

std::wstring Difference(const Tree& expected, const Tree& actual)
{
    std::wstring out;
    auto show = [](const std::pair<DWORD, std::vector<BYTE>>& v) {
        if (v.first != REG_SZ)
            return L"type " + std::to_wstring(v.first) + L", " + std::to_wstring(v.second.size()) + L" bytes";
        std::wstring text(reinterpret_cast<const wchar_t*>(v.second.data()), v.second.size() / sizeof(wchar_t));
        if (text.size() > 40)
            text = text.substr(0, 40) + L"...";
        return L"\"" + text + L"\"";
    };
    for (const auto& [name, value] : expected) {
        auto it = actual.find(name);
        if (it == actual.end())
            out += L"missing " + name + L"\n";
        else if (it->second != value)
            out += L"changed " + name + L": expected " + show(value) + L", found " + show(it->second) + L"\n";
    }
    for (const auto& [name, value] : actual) {
        if (!expected.count(name))
            out += L"added " + name + L" = " + show(value) + L"\n";
    }
    return out;
}

} // namespace storedinput
