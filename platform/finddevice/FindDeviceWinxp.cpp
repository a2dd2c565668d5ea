// Device lookup over the system's list of present devices (SetupAPI), so the
// same library answers on a real machine and in a prepared test machine.
#define FINDDEVICE_BUILDING
#include "FindDeviceWinxp.h"

#include <setupapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Owns a device information list.
class DeviceList {
public:
    DeviceList()
        : set_(SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT)) {}
    ~DeviceList() {
        if (valid()) SetupDiDestroyDeviceInfoList(set_);
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    bool valid() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return set_; }

private:
    HDEVINFO set_;
};

// Calls match(set, data) for each device until it answers true.
template <typename Match>
BOOL AnyDevice(Match match) {
    DeviceList devices;
    if (!devices.valid()) return FALSE;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof(data);
        if (!SetupDiEnumDeviceInfo(devices.get(), index, &data)) {
            // ERROR_NO_MORE_ITEMS ends the list; any other error ends it too.
            return FALSE;
        }
        if (match(devices.get(), &data)) return TRUE;
    }
}

bool EqualIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
    return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

// Reads a text property, growing the buffer as the system asks.
bool ReadTextProperty(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property, std::wstring& out) {
    std::vector<BYTE> buffer(512);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD needed = 0;
        if (SetupDiGetDeviceRegistryPropertyW(set, data, property, &type, buffer.data(),
                                              static_cast<DWORD>(buffer.size()), &needed)) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
            const wchar_t* text = reinterpret_cast<const wchar_t*>(buffer.data());
            size_t chars = std::min<size_t>(needed, buffer.size()) / sizeof(wchar_t);
            size_t length = 0;
            while (length < chars && text[length] != L'\0') ++length;
            out.assign(text, length);
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return false;
        buffer.resize(needed);
    }
    return false;
}

bool ReadInstanceId(HDEVINFO set, SP_DEVINFO_DATA* data, std::wstring& out) {
    std::vector<wchar_t> buffer(256);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD needed = 0;
        if (SetupDiGetDeviceInstanceIdW(set, data, buffer.data(), static_cast<DWORD>(buffer.size()),
                                        &needed)) {
            buffer.back() = L'\0';
            out.assign(buffer.data());
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return false;
        buffer.resize(needed);
    }
    return false;
}

bool ContainsIgnoringCase(const std::wstring& text, const std::wstring& fragment) {
    if (fragment.size() > text.size()) return false;
    const int length = static_cast<int>(fragment.size());
    for (size_t start = 0; start + fragment.size() <= text.size(); ++start) {
        if (EqualIgnoringCase(text.c_str() + start, length, fragment.c_str(), length)) return true;
    }
    return false;
}

}  // namespace

extern "C" {

BOOL FindDevByDeviceDesc(const wchar_t* description) {
    if (!description || !*description) return FALSE;
    const std::wstring wanted(description);
    return AnyDevice([&](HDEVINFO set, SP_DEVINFO_DATA* data) {
        std::wstring text;
        return ReadTextProperty(set, data, SPDRP_DEVICEDESC, text) &&
               EqualIgnoringCase(text.c_str(), static_cast<int>(text.size()), wanted.c_str(),
                                 static_cast<int>(wanted.size()));
    });
}

BOOL FindDevByDeviceInstanceId(const wchar_t* instanceIdFragment) {
    if (!instanceIdFragment || !*instanceIdFragment) return FALSE;
    const std::wstring fragment(instanceIdFragment);
    return AnyDevice([&](HDEVINFO set, SP_DEVINFO_DATA* data) {
        std::wstring id;
        return ReadInstanceId(set, data, id) && ContainsIgnoringCase(id, fragment);
    });
}

}  // extern "C"
