#pragma once
// What happens to the simulated machine: every change updates the shared
// state and publishes the notices Windows would send for it. Used by the COM
// objects (changes a program makes through Core Audio) and by the exported
// control surface (what a user or the system does: plug, unplug, choose the
// default device).
#include "SharedState.h"

#include <windows.h>
#include <string>
#include <vector>

namespace cas {

// Endpoint volume: E_INVALIDARG for a channel other than 0 or 1 or a level
// outside 0.0 .. 1.0; E_NOTFOUND when the endpoint is gone.
HRESULT SetChannelLevel(const std::wstring& id, UINT channel, float level, LPCGUID context);
HRESULT SetMasterLevel(const std::wstring& id, float level, LPCGUID context);
// S_FALSE (and no notice) when the mute already had that value.
HRESULT SetEndpointMute(const std::wstring& id, BOOL mute, LPCGUID context);
bool ReadEndpoint(const std::wstring& id, EndpointState* out);

// Hardware controls behind an endpoint. `value` is the mute or automatic-gain
// flag or the selected input; `levelDb` the level of `channel` (-1: all).
HRESULT SetSubunitFlag(const std::wstring& id, int subunit, ControlKind kind, UINT value, LPCGUID context);
HRESULT SetSubunitLevel(const std::wstring& id, int subunit, int channel, float levelDb, LPCGUID context);

// The machine's endpoints.
void LoadDefaultScenario();
HRESULT AddEndpoint(const std::wstring& name, int flow, std::wstring* newId);
HRESULT RemoveEndpoint(const std::wstring& id);
HRESULT SetDefaultEndpoint(const std::wstring& id);
HRESULT SetEndpointState(const std::wstring& id, DWORD state);
HRESULT RenameEndpoint(const std::wstring& id, const std::wstring& name);
std::vector<std::wstring> ListEndpoints(int flow, DWORD stateMask); // flow: eRender, eCapture or eAll
bool GetDefaultId(int flow, int role, std::wstring* id);

} // namespace cas
