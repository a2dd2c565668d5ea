#pragma once
// The three change listeners and their set-up. The platform calls the
// listeners on its own threads; they only post WM_VOLUME_CHANGED /
// WM_ENDPOINT_CHANGED to the window their owner gives them (the main window).
#include "AudioEndpointVolumeCallback.h"
#include "ComPtr.h"
#include "ControlChangeNotify.h"
#include "MMNotificationClient.h"

#include <windows.h>
#include <devicetopology.h>
#include <mmdeviceapi.h>
#include <memory>
#include <string>
#include <vector>

// New listeners, the creator's reference in the pointer (null when out of
// memory).
ComPtr<CAudioEndpointVolumeCallback> CreateVolumeListener();
ComPtr<CControlChangeNotify> CreateControlChangeListener();
ComPtr<CMMNotificationClient> CreateEndpointNotificationClient();

// The hardware topology behind an endpoint: connector 0, the connector it is
// connected to, and that part's topology object.
HRESULT GetHardwareDeviceTopology(IMMDevice* endpoint, IDeviceTopology** topology);

// The one owner of the listeners and their registrations. Each registration
// holds its listener and the platform object that carries it (endpoint
// volume, part or enumerator) until WithdrawAll, which withdraws every
// registration and then releases both.
// The listeners post to the owner's target window while they are registered
// with it, and to nothing once withdrawn. Its destructor withdraws too, so an
// owner that lives inside the COM apartment's lifetime leaves COM with
// nothing registered.
// Interface thread only.
class CAudioListeners {
public:
    CAudioListeners() = default;
    ~CAudioListeners();
    CAudioListeners(const CAudioListeners&) = delete;
    CAudioListeners& operator=(const CAudioListeners&) = delete;

    // The window every listener registered here posts to (the application's
    // main window), from now on; null stops them all posting.
    void SetTarget(HWND wnd);
    HWND GetTarget() const { return m_target; }

    // Gives the listener the context and registers it on every active render
    // and capture endpoint. Each registration takes a reference of its own.
    void RegisterVolumeCallbacks(CAudioEndpointVolumeCallback* listener, const GUID& context);
    // Gives the listener the context and registers it on one control of every
    // subunit of the endpoint's hardware topology, except subunits 15 to 18
    // and 21 to 27.
    void RegisterTopologyCallbacks(CControlChangeNotify* listener, const std::wstring& endpointId, const GUID& context);
    void RegisterEndpointNotifications(CMMNotificationClient* client);

    // Stops the listeners posting, withdraws every registration made above and
    // releases the carriers and the listeners. The target stays for later
    // registrations.
    void WithdrawAll();
    // Registrations in force.
    size_t Count() const { return m_registrations.size(); }

private:
    // One registration: the platform object that carries it and the listener,
    // each held by a reference of its own, and how to withdraw it.
    class Registration {
    public:
        virtual ~Registration() = default;
        virtual CListenerTarget& Target() const = 0;
        // Withdraws the registration from its carrier; both are released with
        // this object.
        virtual void Withdraw() = 0;
    };
    template <typename Carrier, typename Listener>
    class RegistrationOf;
    template <typename Carrier, typename Listener>
    void Remember(ComPtr<Carrier> carrier, Listener* listener);

    HWND m_target = nullptr;
    std::vector<std::unique_ptr<Registration>> m_registrations;
};
