#include "Listeners.h"

#include "ComPtr.h"

#include <endpointvolume.h>
#include <objbase.h>

namespace {

HRESULT CreateEnumerator(ComPtr<IMMDeviceEnumerator>& enumerator)
{
    return ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                              enumerator.putVoid());
}

bool IsSkippedSubunit(UINT index) { return (index >= 15 && index <= 18) || (index >= 21 && index <= 27); }

} // namespace

CAudioEndpointVolumeCallback* CreateVolumeListener() { return new (std::nothrow) CAudioEndpointVolumeCallback; }
CControlChangeNotify* CreateControlChangeListener() { return new (std::nothrow) CControlChangeNotify; }
CMMNotificationClient* CreateEndpointNotificationClient() { return new (std::nothrow) CMMNotificationClient; }

CAudioListeners::~CAudioListeners() { WithdrawAll(); }

void CAudioListeners::SetTarget(HWND wnd)
{
    m_target = wnd;
    for (const Registration& r : m_registrations)
        r.target->SetTarget(wnd);
}

void CAudioListeners::Remember(Registration::Kind kind, IUnknown* carrier, IUnknown* listener, CListenerTarget* target)
{
    listener->AddRef();
    target->SetTarget(m_target);
    m_registrations.push_back({kind, carrier, listener, target});
}

void CAudioListeners::RegisterVolumeCallbacks(CAudioEndpointVolumeCallback* listener, const GUID& context)
{
    if (!listener)
        return;
    listener->SetContext(context);

    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDeviceCollection> endpoints;
    UINT count = 0;
    if (FAILED(CreateEnumerator(enumerator)) ||
        FAILED(enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, endpoints.put())) ||
        FAILED(endpoints->GetCount(&count)))
        return;

    for (UINT i = 0; i < count; ++i) {
        ComPtr<IMMDevice> endpoint;
        ComPtr<IAudioEndpointVolume> volume;
        if (FAILED(endpoints->Item(i, endpoint.put())))
            break;
        if (FAILED(endpoint->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, volume.putVoid())))
            break;
        if (FAILED(volume->RegisterControlChangeNotify(listener)))
            continue;
        // The registration lives as long as the volume object: keep it.
        Remember(Registration::kVolume, volume.detach(), listener, listener);
    }
}

HRESULT GetHardwareDeviceTopology(IMMDevice* endpoint, IDeviceTopology** topology)
{
    if (!endpoint || !topology)
        return E_POINTER;
    *topology = nullptr;
    ComPtr<IDeviceTopology> endpointTopology;
    ComPtr<IConnector> connector, connectedTo;
    ComPtr<IPart> part;
    HRESULT hr = endpoint->Activate(__uuidof(IDeviceTopology), CLSCTX_ALL, nullptr, endpointTopology.putVoid());
    if (SUCCEEDED(hr))
        hr = endpointTopology->GetConnector(0, connector.put());
    if (SUCCEEDED(hr))
        hr = connector->GetConnectedTo(connectedTo.put());
    if (SUCCEEDED(hr))
        hr = connectedTo->QueryInterface(__uuidof(IPart), part.putVoid());
    if (SUCCEEDED(hr))
        hr = part->GetTopologyObjects(topology);
    return hr;
}

void CAudioListeners::RegisterTopologyCallbacks(CControlChangeNotify* listener, const std::wstring& endpointId, const GUID& context)
{
    if (!listener)
        return;
    listener->SetContext(context);

    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> endpoint;
    ComPtr<IDeviceTopology> topology;
    UINT count = 0;
    if (FAILED(CreateEnumerator(enumerator)) || FAILED(enumerator->GetDevice(endpointId.c_str(), endpoint.put())) ||
        FAILED(GetHardwareDeviceTopology(endpoint.get(), topology.put())) || FAILED(topology->GetSubunitCount(&count)))
        return;

    // Tried in this order; the first control that activates and registers wins.
    static const IID* const kControls[] = {&__uuidof(IAudioAutoGainControl), &__uuidof(IAudioInputSelector),
                                           &__uuidof(IAudioMute), &__uuidof(IAudioVolumeLevel)};
    for (UINT i = 0; i < count; ++i) {
        if (IsSkippedSubunit(i))
            continue;
        ComPtr<ISubUnit> subunit;
        ComPtr<IPart> part;
        if (FAILED(topology->GetSubunit(i, subunit.put())) ||
            FAILED(subunit->QueryInterface(__uuidof(IPart), part.putVoid())))
            break;
        for (const IID* iid : kControls) {
            ComPtr<IUnknown> control;
            if (part->Activate(CLSCTX_ALL, *iid, control.putVoid()) != S_OK)
                continue;
            if (part->RegisterControlChangeCallback(*iid, listener) != S_OK)
                continue;
            // The registration lives as long as the part: keep it.
            Remember(Registration::kControl, part.detach(), listener, listener);
            break;
        }
    }
}

void CAudioListeners::RegisterEndpointNotifications(CMMNotificationClient* client)
{
    if (!client)
        return;
    ComPtr<IMMDeviceEnumerator> enumerator;
    // The registration is the enumerator's: keep that object for as long as
    // the registration lives, so no platform can end it with the object.
    if (SUCCEEDED(CreateEnumerator(enumerator)) && SUCCEEDED(enumerator->RegisterEndpointNotificationCallback(client)))
        Remember(Registration::kEndpoints, enumerator.detach(), client, client);
}

void CAudioListeners::WithdrawAll()
{
    std::vector<Registration> registrations;
    registrations.swap(m_registrations);
    // A notice already on its way posts nothing from here on.
    for (const Registration& r : registrations)
        r.target->SetTarget(nullptr);
    for (const Registration& r : registrations) {
        switch (r.kind) {
        case Registration::kVolume:
            static_cast<IAudioEndpointVolume*>(r.carrier)->UnregisterControlChangeNotify(
                static_cast<CAudioEndpointVolumeCallback*>(r.listener));
            break;
        case Registration::kControl:
            static_cast<IPart*>(r.carrier)->UnregisterControlChangeCallback(static_cast<CControlChangeNotify*>(r.listener));
            break;
        case Registration::kEndpoints:
            static_cast<IMMDeviceEnumerator*>(r.carrier)->UnregisterEndpointNotificationCallback(
                static_cast<CMMNotificationClient*>(r.listener));
            break;
        }
        r.carrier->Release();
        r.listener->Release();
    }
}
