#define CAS_BUILDING
#include "StandInControl.h"

#include "SharedState.h"
#include "StandInModel.h"

#include <mmdeviceapi.h>

#include <cstring>
#include <cwchar>

namespace {
HRESULT CopyOut(const wchar_t* text, wchar_t* out, int32_t capacity)
{
    if (!out || capacity <= 0)
        return S_OK;
    if (wcslen(text) >= static_cast<size_t>(capacity))
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    wcscpy(out, text);
    return S_OK;
}

// Turns one of an endpoint's test modes on (nonzero) or off.
HRESULT SetEndpointTestMode(const wchar_t* id, int32_t cas::EndpointState::*mode, int32_t on)
{
    cas::SharedState::Guard guard;
    cas::EndpointState* e = cas::FindEndpointLocked(guard.data(), id);
    if (!e)
        return E_NOTFOUND;
    e->*mode = on ? 1 : 0;
    return S_OK;
}
} // namespace

CAS_API HRESULT CasLoadDefaultScenario(void)
{
    cas::LoadDefaultScenario();
    return S_OK;
}

CAS_API HRESULT CasAddEndpoint(const wchar_t* name, int32_t flow, wchar_t* idOut, int32_t idCapacity)
{
    if (!name)
        return E_POINTER;
    std::wstring id;
    HRESULT hr = cas::AddEndpoint(name, flow, &id);
    if (FAILED(hr))
        return hr;
    return CopyOut(id.c_str(), idOut, idCapacity);
}

CAS_API HRESULT CasRemoveEndpoint(const wchar_t* id) { return id ? cas::RemoveEndpoint(id) : E_POINTER; }
CAS_API HRESULT CasSetDefaultEndpoint(const wchar_t* id) { return id ? cas::SetDefaultEndpoint(id) : E_POINTER; }
CAS_API HRESULT CasSetEndpointState(const wchar_t* id, uint32_t state)
{
    return id ? cas::SetEndpointState(id, state) : E_POINTER;
}
CAS_API HRESULT CasRenameEndpoint(const wchar_t* id, const wchar_t* name)
{
    return id && name ? cas::RenameEndpoint(id, name) : E_POINTER;
}

CAS_API int32_t CasEndpointCount(void)
{
    cas::SharedState::Guard guard;
    int32_t n = 0;
    for (const cas::EndpointState& e : guard.data().endpoints)
        n += e.used ? 1 : 0;
    return n;
}

CAS_API HRESULT CasGetEndpointInfo(int32_t index, CasEndpointInfo* out)
{
    if (!out)
        return E_POINTER;
    cas::SharedState::Guard guard;
    cas::SharedLayout& data = guard.data();
    for (const cas::EndpointState& e : data.endpoints) {
        if (!e.used || index-- > 0)
            continue;
        std::memset(out, 0, sizeof *out);
        wcscpy(out->id, e.id);
        wcscpy(out->name, e.name);
        out->flow = e.flow;
        out->state = e.state;
        out->level[0] = e.level[0];
        out->level[1] = e.level[1];
        out->mute = e.mute;
        for (int role = 0; role < cas::kRoles; ++role)
            out->isDefault[role] = _wcsicmp(data.defaults[e.flow][role], e.id) == 0;
        return S_OK;
    }
    return E_INVALIDARG;
}

CAS_API HRESULT CasFindEndpointByName(const wchar_t* name, wchar_t* idOut, int32_t idCapacity)
{
    if (!name)
        return E_POINTER;
    cas::SharedState::Guard guard;
    for (const cas::EndpointState& e : guard.data().endpoints)
        if (e.used && wcscmp(e.name, name) == 0)
            return CopyOut(e.id, idOut, idCapacity);
    return E_NOTFOUND;
}

CAS_API HRESULT CasGetRegistrations(uint32_t pid, int32_t counts[3])
{
    if (!counts)
        return E_POINTER;
    std::memset(counts, 0, 3 * sizeof(int32_t));
    cas::SharedState::Guard guard;
    for (const cas::ProcessSlot& slot : guard.data().processes)
        if (slot.pid == pid && pid != 0) {
            wchar_t name[96];
            cas::SharedState::EventName(pid, name, 96);
            HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, name);
            if (!event)
                return S_FALSE; // that process has ended: it holds nothing
            ::CloseHandle(event);
            std::memcpy(counts, slot.counts, sizeof slot.counts);
            return S_OK;
        }
    return S_FALSE;
}

CAS_API HRESULT CasGetProcessReport(uint32_t pid, CasProcessReport* out)
{
    if (!out)
        return E_POINTER;
    std::memset(out, 0, sizeof *out);
    if (pid == 0)
        return E_NOTFOUND;
    auto fill = [out](const cas::ProcessSlot& slot, bool ended) {
        std::memcpy(out->inForce, slot.counts, sizeof out->inForce);
        std::memcpy(out->registered, slot.registered, sizeof out->registered);
        std::memcpy(out->withdrawn, slot.withdrawn, sizeof out->withdrawn);
        out->ended = ended ? 1 : 0;
    };
    cas::SharedState::Guard guard;
    const cas::SharedLayout& data = guard.data();
    const cas::ProcessSlot* stale = nullptr;
    for (const cas::ProcessSlot& slot : data.processes) {
        if (slot.pid != pid)
            continue;
        wchar_t name[96];
        cas::SharedState::EventName(pid, name, 96);
        HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, name);
        if (!event) {
            stale = &slot; // ended without letting go (killed): its last counts
            continue;
        }
        ::CloseHandle(event);
        fill(slot, false);
        return S_OK;
    }
    // The newest report kept for an ended process with this identifier.
    for (uint32_t back = 1; back <= static_cast<uint32_t>(cas::kMaxProcesses) && back <= data.endedNext; ++back) {
        const cas::ProcessSlot& slot = data.ended[(data.endedNext - back) % cas::kMaxProcesses].slot;
        if (slot.pid == pid) {
            fill(slot, true);
            return S_OK;
        }
    }
    if (stale) {
        fill(*stale, true);
        return S_OK;
    }
    return E_NOTFOUND;
}

CAS_API uint64_t CasEnumerationCount(void)
{
    cas::SharedState::Guard guard;
    return guard.data().enumerations;
}

CAS_API HRESULT CasSetFaults(uint32_t faults)
{
    cas::SharedState::Guard guard;
    guard.data().faults = faults;
    return S_OK;
}

CAS_API HRESULT CasSetNameUnreadable(const wchar_t* id, int32_t unreadable)
{
    return SetEndpointTestMode(id, &cas::EndpointState::nameUnreadable, unreadable);
}

CAS_API HRESULT CasSetLevelsUnreadable(const wchar_t* id, int32_t unreadable)
{
    return SetEndpointTestMode(id, &cas::EndpointState::levelsUnreadable, unreadable);
}
