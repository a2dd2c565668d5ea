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

// A process's registrations, each array per kind as above. For a process that
// has let go of the stand-in (it ended or unloaded it) the report is the one
// kept at that moment, with ended 1; E_NOTFOUND for a process that never
// registered anything.
struct CasProcessReport {
    int32_t inForce[3];    // registrations in force (at the end, for an ended process)
    int32_t registered[3]; // registrations made
    int32_t withdrawn[3];  // registrations the process withdrew itself (Unregister...)
    int32_t ended;
};
CAS_API HRESULT CasGetProcessReport(uint32_t pid, CasProcessReport* out);
// How many endpoint lists (EnumAudioEndpoints) every process together was
// handed since the machine was made: a test's proof that a scan had its chance.
CAS_API uint64_t CasEnumerationCount(void);

// Faults of the machine, for tests: CAS_FAULT_NO_SERVER makes creating the
// endpoint enumerator fail. CasLoadDefaultScenario clears them.
#define CAS_FAULT_NO_SERVER 1u
CAS_API HRESULT CasSetFaults(uint32_t faults);
// An endpoint whose friendly name cannot be read (unreadable 1) or can again (0).
CAS_API HRESULT CasSetNameUnreadable(const wchar_t* id, int32_t unreadable);
// An endpoint that opens and takes changes but whose levels cannot be read
// (unreadable 1: every level read fails), or can again (0).
CAS_API HRESULT CasSetLevelsUnreadable(const wchar_t* id, int32_t unreadable);
