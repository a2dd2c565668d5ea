#include "Endpoints.h"

#include "ComPtr.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <initguid.h> // defines PKEY_Device_FriendlyName in this unit
#include <functiondiscoverykeys_devpkey.h>

namespace {

HRESULT CreateEnumerator(DWORD context, ComPtr<IMMDeviceEnumerator>& enumerator)
{
    return ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, context, __uuidof(IMMDeviceEnumerator),
                              enumerator.putVoid());
}

// The default render endpoint's volume (multimedia role, in-process); any
// success code lets the call go on.
bool OpenDefaultVolume(ComPtr<IAudioEndpointVolume>& volume, ComPtr<IMMDevice>* endpointOut = nullptr)
{
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> endpoint;
    if (FAILED(CreateEnumerator(CLSCTX_INPROC_SERVER, enumerator)))
        return false;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, endpoint.put())))
        return false;
    if (FAILED(endpoint->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr, volume.putVoid())))
        return false;
    if (endpointOut)
        *endpointOut = std::move(endpoint);
    return true;
}

// An endpoint's volume by identifier; every step must return exactly S_OK,
// and the first status that is not ends the call.
HRESULT OpenEndpointVolume(const std::wstring& id, ComPtr<IAudioEndpointVolume>& volume)
{
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> endpoint;
    HRESULT hr = CreateEnumerator(CLSCTX_ALL, enumerator);
    if (hr != S_OK)
        return hr;
    hr = enumerator->GetDevice(id.c_str(), endpoint.put());
    if (hr != S_OK)
        return hr;
    return endpoint->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, volume.putVoid());
}

bool Contains(const std::wstring& text, const wchar_t* word) { return text.find(word) != std::wstring::npos; }

} // namespace

bool IsCardEndpointName(const std::wstring& friendlyName)
{
    // Lower-cased in UTF-16 with the system's Unicode case mapping, so the
    // Chinese words survive whatever the ANSI code page is.
    std::wstring lower = friendlyName;
    if (!lower.empty())
        ::CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    return Contains(lower, L"vantir") &&
           (Contains(lower, L"数字输出") || Contains(lower, L"pdif") || Contains(lower, L"through"));
}

bool FindCardEndpoint(EndpointIds& ids)
{
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDeviceCollection> endpoints;
    if (FAILED(CreateEnumerator(CLSCTX_ALL, enumerator)))
        return false;
    if (FAILED(enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, endpoints.put())))
        return false;
    return FindCardEndpointIn(endpoints.get(), ids);
}

bool FindCardEndpointIn(IMMDeviceCollection* endpoints, EndpointIds& ids)
{
    UINT count = 0;
    if (!endpoints || FAILED(endpoints->GetCount(&count)))
        return false;

    bool found = false;
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IMMDevice> endpoint;
        ComPtr<IPropertyStore> properties;
        if (FAILED(endpoints->Item(i, endpoint.put())))
            continue;
        if (FAILED(endpoint->OpenPropertyStore(STGM_READ, properties.put())))
            continue;
        PROPVARIANT name;
        ::PropVariantInit(&name);
        if (SUCCEEDED(properties->GetValue(PKEY_Device_FriendlyName, &name)) && name.vt == VT_LPWSTR &&
            name.pwszVal && IsCardEndpointName(name.pwszVal)) {
            LPWSTR id = nullptr;
            if (SUCCEEDED(endpoint->GetId(&id)) && id) {
                ids.cardId = id; // a later match replaces an earlier one
                found = true;
            }
            ::CoTaskMemFree(id);
        }
        ::PropVariantClear(&name);
    }
    return found;
}

void GetDefaultEndpointId(EndpointIds& ids)
{
    ComPtr<IAudioEndpointVolume> volume;
    ComPtr<IMMDevice> endpoint;
    if (!OpenDefaultVolume(volume, &endpoint))
        return;
    LPWSTR id = nullptr;
    if (SUCCEEDED(endpoint->GetId(&id)) && id)
        ids.defaultId = id;
    ::CoTaskMemFree(id);
}

bool GetDefaultChannelVolume(UINT channel, float* level)
{
    ComPtr<IAudioEndpointVolume> volume;
    float value = 0.0f;
    if (!level || !OpenDefaultVolume(volume) || FAILED(volume->GetChannelVolumeLevelScalar(channel, &value)))
        return false;
    *level = value;
    return true;
}

bool SetDefaultChannelVolume(UINT channel, float level)
{
    ComPtr<IAudioEndpointVolume> volume;
    return OpenDefaultVolume(volume) &&
           SUCCEEDED(volume->SetChannelVolumeLevelScalar(channel, level, &kEventContextGuid));
}

bool GetDefaultMute(BOOL* muted)
{
    ComPtr<IAudioEndpointVolume> volume;
    BOOL value = FALSE;
    if (!muted || !OpenDefaultVolume(volume) || FAILED(volume->GetMute(&value)))
        return false;
    *muted = value;
    return true;
}

bool SetDefaultMute(BOOL muted)
{
    ComPtr<IAudioEndpointVolume> volume;
    return OpenDefaultVolume(volume) && SUCCEEDED(volume->SetMute(muted, &kEventContextGuid));
}

HRESULT GetEndpointChannelVolume(const std::wstring& id, UINT channel, float* level)
{
    if (!level)
        return E_POINTER;
    ComPtr<IAudioEndpointVolume> volume;
    HRESULT hr = OpenEndpointVolume(id, volume);
    if (hr != S_OK)
        return hr;
    float value = 0.0f;
    hr = volume->GetChannelVolumeLevelScalar(channel, &value);
    if (hr == S_OK)
        *level = value;
    return hr;
}

bool SetEndpointChannelVolume(const std::wstring& id, UINT channel, float level)
{
    ComPtr<IAudioEndpointVolume> volume;
    return OpenEndpointVolume(id, volume) == S_OK &&
           volume->SetChannelVolumeLevelScalar(channel, level, &kEventContextGuid) == S_OK;
}

HRESULT GetEndpointMute(const std::wstring& id, BOOL* muted)
{
    if (!muted)
        return E_POINTER;
    ComPtr<IAudioEndpointVolume> volume;
    HRESULT hr = OpenEndpointVolume(id, volume);
    if (hr != S_OK)
        return hr;
    BOOL value = FALSE;
    hr = volume->GetMute(&value);
    if (hr == S_OK)
        *muted = value;
    return hr;
}

bool SetEndpointMute(const std::wstring& id, BOOL muted)
{
    // S_FALSE ("it already was") is a success like S_OK.
    ComPtr<IAudioEndpointVolume> volume;
    return OpenEndpointVolume(id, volume) == S_OK && SUCCEEDED(volume->SetMute(muted, &kEventContextGuid));
}
