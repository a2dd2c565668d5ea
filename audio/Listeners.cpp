// Placeholder until the Core Audio listeners land.
#include "Listeners.h"

namespace {
HWND g_target = nullptr;
}
void SetListenerTarget(HWND mainWindow) { g_target = mainWindow; }
HWND GetListenerTarget() { return g_target; }
CAudioEndpointVolumeCallback* CreateVolumeListener() { return nullptr; }
CControlChangeNotify* CreateControlChangeListener() { return nullptr; }
CMMNotificationClient* CreateEndpointNotificationClient() { return nullptr; }
void RegisterVolumeCallbacks(CAudioEndpointVolumeCallback*, const GUID&) {}
void RegisterTopologyCallbacks(CControlChangeNotify*, const std::wstring&, const GUID&) {}
void RegisterEndpointNotifications(CMMNotificationClient*) {}
