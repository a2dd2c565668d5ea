#include "Listeners.h"

#include "ComPtr.h"
#include "Log.h"

#include <endpointvolume.h>
#include <objbase.h>

#include <cstdio>

namespace {

HRESULT CreateEnumerator(ComPtr<IMMDeviceEnumerator>& enumerator)
{
    return ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                              enumerator.putVoid());
}

// The panel has always listened on these subunits only: 15 to 18 and 21 to
// 27 never had a callback, so that exactly the same hardware changes refresh
// the Main page.
bool IsSkippedSubunit(UINT index) { return (index >= 15 && index <= 18) || (index >= 21 && index <= 27); }

// A listener that hears nothing leaves the panel blind to other programs'
// changes: the log says which, once, when it is set up.
void LogNotRegistered(const wchar_t* listener, const wchar_t* why, HRESULT hr)
{
    wchar_t line[200];
    std::swprintf(line, 200, L"%ls not registered: %ls (0x%08lX)", listener, why, static_cast<unsigned long>(hr));
    diag::LogLine(line);
}

// How each carrier withdraws its kind of listener.
void Unregister(IAudioEndpointVolume* carrier, CAudioEndpointVolumeCallback* listener)
{
    carrier->UnregisterControlChangeNotify(listener);
}
void Unregister(IPart* carrier, CControlChangeNotify* listener)
{
    carrier->UnregisterControlChangeCallback(listener);
}
void Unregister(IMMDeviceEnumerator* carrier, CMMNotificationClient* listener)
{
    carrier->UnregisterEndpointNotificationCallback(listener);
}

template <typename T>
ComPtr<T> Create()
{
    ComPtr<T> object;
    object.attach(new (std::nothrow) T);
    return object;
}

} // namespace

ComPtr<CAudioEndpointVolumeCallback> CreateVolumeListener() { return Create<CAudioEndpointVolumeCallback>(); }
ComPtr<CControlChangeNotify> CreateControlChangeListener() { return Create<CControlChangeNotify>(); }
ComPtr<CMMNotificationClient> CreateEndpointNotificationClient() { return Create<CMMNotificationClient>(); }

template <typename Carrier, typename Listener>
class CAudioListeners::RegistrationOf final : public CAudioListeners::Registration {
public:
    RegistrationOf(ComPtr<Carrier> carrier, Listener* listener) : m_listener(listener), m_carrier(std::move(carrier)) {}
    CListenerTarget& Target() const override { return *m_listener.get(); }
    void Withdraw() override { Unregister(m_carrier.get(), m_listener.get()); }

private:
    // Released in reverse: the carrier first, then the listener.
    ComPtr<Listener> m_listener;
    ComPtr<Carrier> m_carrier;
};

CAudioListeners::~CAudioListeners() { WithdrawAll(); }

void CAudioListeners::SetTarget(HWND wnd)
{
    m_target = wnd;
    for (const std::unique_ptr<Registration>& r : m_registrations)
        r->Target().SetTarget(wnd);
}

template <typename Carrier, typename Listener>
void CAudioListeners::Remember(ComPtr<Carrier> carrier, Listener* listener)
{
    listener->SetTarget(m_target);
    m_registrations.push_back(std::make_unique<RegistrationOf<Carrier, Listener>>(std::move(carrier), listener));
}

void CAudioListeners::RegisterVolumeCallbacks(CAudioEndpointVolumeCallback* listener, const GUID& context)
{
    constexpr const wchar_t* kWhat = L"Volume listener";
    if (!listener) {
        LogNotRegistered(kWhat, L"it could not be created", E_OUTOFMEMORY);
        return;
    }
    listener->SetContext(context);

    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDeviceCollection> endpoints;
    UINT count = 0;
    HRESULT hr = CreateEnumerator(enumerator);
    if (SUCCEEDED(hr))
        hr = enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, endpoints.put());
    if (SUCCEEDED(hr))
        hr = endpoints->GetCount(&count);
    if (FAILED(hr)) {
        LogNotRegistered(kWhat, L"the active endpoints could not be listed", hr);
        return;
    }

    UINT registered = 0;
    HRESULT failure = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IMMDevice> endpoint;
        ComPtr<IAudioEndpointVolume> volume;
        if (FAILED(failure = endpoints->Item(i, endpoint.put())))
            break;
        if (FAILED(failure = endpoint->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                                volume.putVoid())))
            break;
        if (FAILED(hr = volume->RegisterControlChangeNotify(listener))) {
            failure = hr;
            continue;
        }
        // The registration lives as long as the volume object: keep it.
        Remember(std::move(volume), listener);
        ++registered;
    }
    if (registered < count) {
        wchar_t why[80];
        std::swprintf(why, 80, L"on %u of %u active endpoints", count - registered, count);
        LogNotRegistered(kWhat, why, failure);
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
    constexpr const wchar_t* kWhat = L"Hardware-control listener";
    if (!listener) {
        LogNotRegistered(kWhat, L"it could not be created", E_OUTOFMEMORY);
        return;
    }
    listener->SetContext(context);

    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> endpoint;
    ComPtr<IDeviceTopology> topology;
    UINT count = 0;
    HRESULT hr = CreateEnumerator(enumerator);
    if (SUCCEEDED(hr))
        hr = enumerator->GetDevice(endpointId.c_str(), endpoint.put());
    if (SUCCEEDED(hr))
        hr = GetHardwareDeviceTopology(endpoint.get(), topology.put());
    if (SUCCEEDED(hr))
        hr = topology->GetSubunitCount(&count);
    if (FAILED(hr)) {
        LogNotRegistered(kWhat, L"no hardware topology behind the default endpoint", hr);
        return;
    }

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
            Remember(std::move(part), listener);
            break;
        }
    }
}

void CAudioListeners::RegisterEndpointNotifications(CMMNotificationClient* client)
{
    constexpr const wchar_t* kWhat = L"Endpoint listener";
    if (!client) {
        LogNotRegistered(kWhat, L"it could not be created", E_OUTOFMEMORY);
        return;
    }
    ComPtr<IMMDeviceEnumerator> enumerator;
    // The registration is the enumerator's: keep that object for as long as
    // the registration lives, so no platform can end it with the object.
    HRESULT hr = CreateEnumerator(enumerator);
    if (SUCCEEDED(hr))
        hr = enumerator->RegisterEndpointNotificationCallback(client);
    if (FAILED(hr)) {
        LogNotRegistered(kWhat, L"the system's endpoint notices cannot be had", hr);
        return;
    }
    Remember(std::move(enumerator), client);
}

void CAudioListeners::WithdrawAll()
{
    std::vector<std::unique_ptr<Registration>> registrations;
    registrations.swap(m_registrations);
    // A notice already on its way posts nothing from here on.
    for (const std::unique_ptr<Registration>& r : registrations)
        r->Target().SetTarget(nullptr);
    for (std::unique_ptr<Registration>& r : registrations) {
        r->Withdraw();
        r.reset();
    }
}
