#pragma once
// The three change listeners. The platform calls them on its own threads;
// they only post WM_VOLUME_CHANGED / WM_ENDPOINT_CHANGED to the main window.
#include <windows.h>
#include <string>

class CAudioEndpointVolumeCallback;
class CControlChangeNotify;
class CMMNotificationClient;

// The window the listeners post to (the application's main window).
void SetListenerTarget(HWND mainWindow);
HWND GetListenerTarget();

CAudioEndpointVolumeCallback* CreateVolumeListener();
CControlChangeNotify* CreateControlChangeListener();
CMMNotificationClient* CreateEndpointNotificationClient();

void RegisterVolumeCallbacks(CAudioEndpointVolumeCallback* listener, const GUID& context);
void RegisterTopologyCallbacks(CControlChangeNotify* listener, const std::wstring& endpointId, const GUID& context);
void RegisterEndpointNotifications(CMMNotificationClient* client);
