#pragma once
// Control surface of the Core Audio stand-in, for tests and castool: what a
// user or the system does to the simulated machine's endpoints (changes a
// program makes go through Core Audio itself). All functions act on the one
// machine-wide state and publish the notices Windows would send.
#include <windows.h>
#include <stdint.h>

#ifdef CAS_BUILDING
#define CAS_API extern "C" __declspec(dllexport)
#else
#define CAS_API extern "C" __declspec(dllimport)
#endif

struct CasEndpointInfo {
    wchar_t id[80];
    wchar_t name[128];
    int32_t flow;  // 0 render, 1 capture
    uint32_t state; // DEVICE_STATE_*
    float level[2];
    int32_t mute;
    int32_t isDefault[3]; // per role: console, multimedia, communications
};

// The default scenario: "Speakers" (default render), "VANTIR Digital Output
// (S/PDIF)" (render) and "Microphone" (default capture), no notices.
CAS_API HRESULT CasLoadDefaultScenario(void);
// A new active endpoint (flow 0 render, 1 capture); its identifier in idOut.
CAS_API HRESULT CasAddEndpoint(const wchar_t* name, int32_t flow, wchar_t* idOut, int32_t idCapacity);
CAS_API HRESULT CasRemoveEndpoint(const wchar_t* id);
// Makes the endpoint the default of its flow for every role.
CAS_API HRESULT CasSetDefaultEndpoint(const wchar_t* id);
CAS_API HRESULT CasSetEndpointState(const wchar_t* id, uint32_t state);
CAS_API HRESULT CasRenameEndpoint(const wchar_t* id, const wchar_t* name);
// Every endpoint whatever its state, in list order.
CAS_API int32_t CasEndpointCount(void);
CAS_API HRESULT CasGetEndpointInfo(int32_t index, CasEndpointInfo* out);
// The identifier of the endpoint with exactly this friendly name.
CAS_API HRESULT CasFindEndpointByName(const wchar_t* name, wchar_t* idOut, int32_t idCapacity);
// What a process has registered: volume callbacks, control-change callbacks
// and endpoint notification clients. All zero for a process that registered
// nothing (or has ended).
CAS_API HRESULT CasGetRegistrations(uint32_t pid, int32_t counts[3]);
