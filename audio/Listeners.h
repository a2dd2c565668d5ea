#pragma once
// The three change listeners and their set-up. The platform calls the
// listeners on its own threads; they only post WM_VOLUME_CHANGED /
// WM_ENDPOINT_CHANGED to the main window.
#include "AudioEndpointVolumeCallback.h"
#include "ControlChangeNotify.h"
#include "MMNotificationClient.h"

#include <windows.h>
#include <devicetopology.h>
#include <mmdeviceapi.h>
#include <string>
#include <vector>

// The window the listeners post to (the application's main window).
void SetListenerTarget(HWND mainWindow);
HWND GetListenerTarget();
// Posts `msg` (wParam, lParam 0) to that window; the listeners' only way out.
void PostToListenerTarget(UINT msg, WPARAM wp);

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
// Its destructor does the same, so an owner that lives inside the COM
// apartment's lifetime leaves COM with nothing registered.
// Interface thread only.
class CAudioListeners {
public:
    CAudioListeners() = default;
    ~CAudioListeners();
    CAudioListeners(const CAudioListeners&) = delete;
    CAudioListeners& operator=(const CAudioListeners&) = delete;

    // Gives the listener the context and registers it on every active render
    // and capture endpoint.
    void RegisterVolumeCallbacks(CAudioEndpointVolumeCallback* listener, const GUID& context);
    // Gives the listener the context and registers it on one control of every
    // subunit of the endpoint's hardware topology, except subunits 15 to 18
    // and 21 to 27.
    void RegisterTopologyCallbacks(CControlChangeNotify* listener, const std::wstring& endpointId, const GUID& context);
    void RegisterEndpointNotifications(CMMNotificationClient* client);

    // Withdraws every registration made above and releases the carriers and
    // the listeners.
    void WithdrawAll();
    // Registrations in force.
    size_t Count() const { return m_registrations.size(); }

private:
    // A registration and the platform object that carries it.
    struct Registration {
        enum Kind { kVolume, kControl, kEndpoints } kind;
        IUnknown* carrier;  // IAudioEndpointVolume, IPart or IMMDeviceEnumerator, one reference held
        IUnknown* listener; // one reference held
    };
    void Remember(Registration::Kind kind, IUnknown* carrier, IUnknown* listener);

    std::vector<Registration> m_registrations;
};
