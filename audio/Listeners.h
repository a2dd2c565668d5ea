#pragma once
// The three change listeners and their set-up. The platform calls the
// listeners on its own threads; they only post WM_VOLUME_CHANGED /
// WM_ENDPOINT_CHANGED to the window their owner gives them (the main window).
#include "AudioEndpointVolumeCallback.h"
#include "ControlChangeNotify.h"
#include "MMNotificationClient.h"

#include <windows.h>
#include <devicetopology.h>
#include <mmdeviceapi.h>
#include <string>
#include <vector>

// New listeners, reference count 1 (null when out of memory).
CAudioEndpointVolumeCallback* CreateVolumeListener();
CControlChangeNotify* CreateControlChangeListener();
CMMNotificationClient* CreateEndpointNotificationClient();

// The hardware topology behind an endpoint: connector 0, the connector it is
// connected to, and that part's topology object.
HRESULT GetHardwareDeviceTopology(IMMDevice* endpoint, IDeviceTopology** topology);

// The one owner of the listeners and their registrations. Each listener it
// registers is held (one reference) together with the platform object that
// carries the registration (endpoint volume, part or enumerator) until
// WithdrawAll, which withdraws every registration and then releases both.
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
    // and capture endpoint.
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
    // A registration and the platform object that carries it.
    struct Registration {
        enum Kind { kVolume, kControl, kEndpoints } kind;
        IUnknown* carrier;  // IAudioEndpointVolume, IPart or IMMDeviceEnumerator, one reference held
        IUnknown* listener; // one reference held
        CListenerTarget* target; // the listener's own
    };
    void Remember(Registration::Kind kind, IUnknown* carrier, IUnknown* listener, CListenerTarget* target);

    HWND m_target = nullptr;
    std::vector<Registration> m_registrations;
};
