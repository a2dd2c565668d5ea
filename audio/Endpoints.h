#pragma once
// The two audio endpoints the Main page drives, over Windows Core Audio: the
// default playback endpoint and the card's digital-output endpoint (found by
// its friendly name). No platform object is kept between calls.
#include <windows.h>
#include <string>

struct EndpointIds {
    std::wstring defaultId; // default render endpoint, once GetDefaultEndpointId ran
    std::wstring cardId;    // the card's digital-output endpoint, once found
};

// Passed with every volume and mute change the panel makes, so the listeners
// can tell the panel's own changes from other programs'.
// {4FA3DCD0-3E1B-4BC3-3462-653037313036}
inline constexpr GUID kEventContextGuid = {
    0x4FA3DCD0, 0x3E1B, 0x4BC3, {0x34, 0x62, 0x65, 0x30, 0x37, 0x31, 0x30, 0x36}};

// The card endpoint's friendly name: it contains "vantir" and one of
// "数字输出", "pdif" or "through", compared lower-cased.
bool IsCardEndpointName(const std::wstring& friendlyName);

// Scans the active render and capture endpoints; true when at least one
// matched, its identifier (the last match) then in ids.cardId.
bool FindCardEndpoint(EndpointIds& ids);
// The same scan over endpoints already listed.
struct IMMDeviceCollection;
bool FindCardEndpointIn(IMMDeviceCollection* endpoints, EndpointIds& ids);
void GetDefaultEndpointId(EndpointIds& ids);

// Default render endpoint, multimedia role: true when the endpoint opened and
// the one call on it succeeded (a Get leaves its out-value alone otherwise).
bool GetDefaultChannelVolume(UINT channel, float* level);
bool SetDefaultChannelVolume(UINT channel, float level);
bool GetDefaultMute(BOOL* muted);
bool SetDefaultMute(BOOL muted);

// An endpoint by identifier: each step must return exactly S_OK, except the
// mute change itself, where every success code counts.
HRESULT GetEndpointChannelVolume(const std::wstring& id, UINT channel, float* level);
bool SetEndpointChannelVolume(const std::wstring& id, UINT channel, float level);
HRESULT GetEndpointMute(const std::wstring& id, BOOL* muted);
bool SetEndpointMute(const std::wstring& id, BOOL muted);
