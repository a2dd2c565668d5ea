// Placeholder until the Core Audio client code lands: nothing is found.
#include "Endpoints.h"

bool FindCardEndpoint(EndpointIds&) { return false; }
void GetDefaultEndpointId(EndpointIds&) {}
bool GetDefaultChannelVolume(UINT, float*) { return true; }
bool SetDefaultChannelVolume(UINT, float) { return true; }
bool GetDefaultMute(BOOL*) { return true; }
bool SetDefaultMute(BOOL) { return true; }
HRESULT GetEndpointChannelVolume(const std::wstring&, UINT, float*) { return E_NOTIMPL; }
bool SetEndpointChannelVolume(const std::wstring&, UINT, float) { return false; }
HRESULT GetEndpointMute(const std::wstring&, BOOL*) { return E_NOTIMPL; }
bool SetEndpointMute(const std::wstring&, BOOL) { return false; }
