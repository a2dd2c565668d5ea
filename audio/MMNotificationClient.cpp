#include "MMNotificationClient.h"

#include "Endpoints.h"
#include "PanelMessages.h"

#include <objbase.h>
#include <functiondiscoverykeys_devpkey.h>

namespace {

std::string ToAnsi(const std::wstring& text)
{
    if (text.empty())
        return {};
    int n = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr,
                              nullptr);
    return out;
}

class SrwExclusive {
public:
    explicit SrwExclusive(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
    ~SrwExclusive() { ::ReleaseSRWLockExclusive(&m_lock); }
    SrwExclusive(const SrwExclusive&) = delete;
    SrwExclusive& operator=(const SrwExclusive&) = delete;

private:
    SRWLOCK& m_lock;
};

} // namespace

CMMNotificationClient::CMMNotificationClient() = default;

std::string CMMNotificationClient::DescribeDevice(LPCWSTR id)
{
    return Describe(id, nullptr, nullptr);
}

std::string CMMNotificationClient::Describe(LPCWSTR id, std::wstring* nameOut, bool* activeOut)
{
    // The platform's notification threads are already in the multithreaded
    // apartment: joining then fails, and leaving would tear down COM on a
    // thread we do not own.
    const bool joined = SUCCEEDED(::CoInitialize(nullptr));
    std::string description;
    {
        SrwExclusive lock(m_lock);
        if (!m_enumerator)
            ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                               __uuidof(IMMDeviceEnumerator), m_enumerator.putVoid());

        std::wstring name;
        ComPtr<IMMDevice> endpoint;
        ComPtr<IPropertyStore> properties;
        PROPVARIANT value;
        ::PropVariantInit(&value);
        if (m_enumerator && id && m_enumerator->GetDevice(id, endpoint.put()) == S_OK &&
            endpoint->OpenPropertyStore(STGM_READ, properties.put()) == S_OK &&
            properties->GetValue(PKEY_Device_FriendlyName, &value) == S_OK && value.vt == VT_LPWSTR && value.pwszVal)
            name = value.pwszVal;
        ::PropVariantClear(&value);
        m_description = "----------------------\nDevice name: " + ToAnsi(name);
        description = m_description;
        DWORD state = 0;
        if (activeOut)
            *activeOut = endpoint && endpoint->GetState(&state) == S_OK && state == DEVICE_STATE_ACTIVE;
        if (nameOut)
            *nameOut = std::move(name);
    }
    if (joined)
        ::CoUninitialize();
    return description;
}

std::string CMMNotificationClient::Description() const
{
    SrwExclusive lock(m_lock);
    return m_description;
}

void CMMNotificationClient::TellIfCardEndpointIsBack(LPCWSTR id)
{
    std::wstring name;
    bool active = false;
    Describe(id, &name, &active);
    if (active && IsCardEndpointName(name))
        PostToTarget(WM_CARD_ENDPOINT_BACK, 0);
}

HRESULT CMMNotificationClient::OnDeviceStateChanged(LPCWSTR id, DWORD newState)
{
    if (newState == DEVICE_STATE_ACTIVE)
        TellIfCardEndpointIsBack(id);
    else
        DescribeDevice(id);
    return S_OK;
}

HRESULT CMMNotificationClient::OnDeviceAdded(LPCWSTR id)
{
    TellIfCardEndpointIsBack(id);
    return S_OK;
}

HRESULT CMMNotificationClient::OnDeviceRemoved(LPCWSTR id)
{
    DescribeDevice(id);
    return S_OK;
}

HRESULT CMMNotificationClient::OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR id)
{
    // Flow and role are not looked at: one change of default is told once
    // per role the platform notifies.
    std::string description = DescribeDevice(id);
    if (description.find("pdif") != std::string::npos || description.find("through") != std::string::npos)
        PostToTarget(WM_ENDPOINT_CHANGED, 0);
    return S_OK;
}

HRESULT CMMNotificationClient::OnPropertyValueChanged(LPCWSTR id, const PROPERTYKEY)
{
    DescribeDevice(id);
    return S_OK;
}
