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

// The window the listeners post to (the application's main window).
void SetListenerTarget(HWND mainWindow);
HWND GetListenerTarget();
// Posts `msg` (wParam, lParam 0) to that window; the listeners' only way out.
void PostToListenerTarget(UINT msg, WPARAM wp);

// New listeners, reference count 1 (null when out of memory).
CAudioEndpointVolumeCallback* CreateVolumeListener();
CControlChangeNotify* CreateControlChangeListener();
CMMNotificationClient* CreateEndpointNotificationClient();

// Gives the listener the context and registers it on every active render and
// capture endpoint.
void RegisterVolumeCallbacks(CAudioEndpointVolumeCallback* listener, const GUID& context);
// The hardware topology behind an endpoint: connector 0, the connector it is
// connected to, and that part's topology object.
HRESULT GetHardwareDeviceTopology(IMMDevice* endpoint, IDeviceTopology** topology);
// Gives the listener the context and registers it on one control of every
// subunit of the endpoint's hardware topology, except subunits 15 to 18 and
// 21 to 27.
void RegisterTopologyCallbacks(CControlChangeNotify* listener, const std::wstring& endpointId, const GUID& context);
void RegisterEndpointNotifications(CMMNotificationClient* client);

// The endpoint volume objects, parts and enumerator that carry registrations
// are held until the main window ends. This withdraws every registration made
// above and releases those objects (the listeners themselves stay with their
// owner).
void WithdrawListenerRegistrations();
