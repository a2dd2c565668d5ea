#include "StandInModel.h"

#include <mmdeviceapi.h>
#include <objbase.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>

namespace cas {

namespace {

void CopyText(wchar_t* dst, size_t cap, const std::wstring& src)
{
    wcsncpy(dst, src.c_str(), cap - 1);
    dst[cap - 1] = L'\0';
}

ChangeRecord NewRecord(ChangeKind kind, const wchar_t* id)
{
    ChangeRecord r;
    std::memset(&r, 0, sizeof r);
    r.kind = kind;
    r.senderPid = ::GetCurrentProcessId();
    if (id)
        CopyText(r.deviceId, kIdLength, id);
    return r;
}

void PublishVolume(SharedState& shared, const EndpointState& e, LPCGUID context)
{
    ChangeRecord r = NewRecord(kChangeVolume, e.id);
    r.hasContext = context != nullptr;
    r.context = context ? *context : GUID_NULL; // no context is reported as GUID_NULL
    r.mute = e.mute;
    r.master = std::max(e.level[0], e.level[1]);
    for (int c = 0; c < kChannels; ++c)
        r.level[c] = e.level[c];
    shared.Publish(r);
}

// Makes `e` (or nobody when null) the default of `flow` for every role, with
// one notice per role that changed, as the system does.
void ChangeDefaultLocked(SharedState& shared, SharedLayout& data, int flow, const EndpointState* e)
{
    const wchar_t* id = e ? e->id : L"";
    for (int role = 0; role < kRoles; ++role) {
        if (_wcsicmp(data.defaults[flow][role], id) == 0)
            continue;
        CopyText(data.defaults[flow][role], kIdLength, id);
        ChangeRecord r = NewRecord(kChangeDefault, id);
        r.flow = flow;
        r.role = role;
        shared.Publish(r);
    }
}

// When the default of a flow went away, the system picks the first active
// endpoint left (or none).
void RepairDefaultLocked(SharedState& shared, SharedLayout& data, int flow)
{
    if (const EndpointState* current = FindEndpointLocked(data, data.defaults[flow][0]))
        if (current->state == DEVICE_STATE_ACTIVE)
            return;
    const EndpointState* next = nullptr;
    for (const EndpointState& e : data.endpoints)
        if (e.used && e.flow == flow && e.state == DEVICE_STATE_ACTIVE) {
            next = &e;
            break;
        }
    ChangeDefaultLocked(shared, data, flow, next);
}

bool ValidLevel(float level) { return level >= 0.0f && level <= 1.0f; }

} // namespace

HRESULT SetChannelLevel(const std::wstring& id, UINT channel, float level, LPCGUID context)
{
    if (channel >= static_cast<UINT>(kChannels) || !ValidLevel(level))
        return E_INVALIDARG;
    SharedState::Guard guard;
    EndpointState* e = FindEndpointLocked(guard.data(), id.c_str());
    if (!e)
        return E_NOTFOUND;
    e->level[channel] = level;
    PublishVolume(SharedState::Instance(), *e, context);
    return S_OK;
}

HRESULT SetMasterLevel(const std::wstring& id, float level, LPCGUID context)
{
    if (!ValidLevel(level))
        return E_INVALIDARG;
    SharedState::Guard guard;
    EndpointState* e = FindEndpointLocked(guard.data(), id.c_str());
    if (!e)
        return E_NOTFOUND;
    // The channels keep their balance: the louder one takes the new master level.
    float master = std::max(e->level[0], e->level[1]);
    for (float& l : e->level)
        l = master > 0.0f ? std::min(1.0f, l * level / master) : level;
    PublishVolume(SharedState::Instance(), *e, context);
    return S_OK;
}

HRESULT SetEndpointMute(const std::wstring& id, BOOL mute, LPCGUID context)
{
    SharedState::Guard guard;
    EndpointState* e = FindEndpointLocked(guard.data(), id.c_str());
    if (!e)
        return E_NOTFOUND;
    int32_t value = mute ? 1 : 0;
    if (e->mute == value)
        return S_FALSE;
    e->mute = value;
    PublishVolume(SharedState::Instance(), *e, context);
    return S_OK;
}

bool ReadEndpoint(const std::wstring& id, EndpointState* out)
{
    SharedState::Guard guard;
    const EndpointState* e = FindEndpointLocked(guard.data(), id.c_str());
    if (!e)
        return false;
    *out = *e;
    return true;
}

HRESULT SetSubunitFlag(const std::wstring& id, int subunit, ControlKind kind, UINT value, LPCGUID context)
{
    if (!SubunitHasControl(subunit, kind) || kind == kControlVolume)
        return E_INVALIDARG;
    SharedState::Guard guard;
    EndpointState* e = FindEndpointLocked(guard.data(), id.c_str());
    if (!e)
        return E_NOTFOUND;
    SubunitState& s = e->subunits[subunit];
    uint32_t* field = kind == kControlMute       ? reinterpret_cast<uint32_t*>(&s.mute)
                      : kind == kControlAutoGain ? reinterpret_cast<uint32_t*>(&s.autoGain)
                                                 : &s.selection;
    if (kind != kControlInputSelector)
        value = value ? 1 : 0;
    *field = value;
    ChangeRecord r = NewRecord(kChangeControl, e->id);
    r.hasContext = context != nullptr;
    r.context = context ? *context : GUID_NULL;
    r.subunit = subunit;
    r.control = kind;
    SharedState::Instance().Publish(r);
    return S_OK;
}

HRESULT SetSubunitLevel(const std::wstring& id, int subunit, int channel, float levelDb, LPCGUID context)
{
    if (!SubunitHasControl(subunit, kControlVolume) || channel >= kChannels || channel < -1 || std::isnan(levelDb))
        return E_INVALIDARG;
    levelDb = std::clamp(levelDb, kMinDb, kMaxDb);
    SharedState::Guard guard;
    EndpointState* e = FindEndpointLocked(guard.data(), id.c_str());
    if (!e)
        return E_NOTFOUND;
    for (int c = 0; c < kChannels; ++c)
        if (channel < 0 || c == channel)
            e->subunits[subunit].levelDb[c] = levelDb;
    ChangeRecord r = NewRecord(kChangeControl, e->id);
    r.hasContext = context != nullptr;
    r.context = context ? *context : GUID_NULL;
    r.subunit = subunit;
    r.control = kControlVolume;
    SharedState::Instance().Publish(r);
    return S_OK;
}

void LoadDefaultScenario()
{
    SharedState::Guard guard;
    LoadDefaultScenarioLocked(guard.data());
}

HRESULT AddEndpoint(const std::wstring& name, int flow, std::wstring* newId)
{
    if (flow != eRender && flow != eCapture)
        return E_INVALIDARG;
    GUID guid;
    if (FAILED(::CoCreateGuid(&guid)))
        return E_FAIL;
    wchar_t id[kIdLength];
    swprintf(id, kIdLength, L"{0.0.%d.00000000}.{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", flow,
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    SharedState::Guard guard;
    SharedLayout& data = guard.data();
    EndpointState* slot = nullptr;
    for (EndpointState& e : data.endpoints)
        if (!e.used) {
            slot = &e;
            break;
        }
    if (!slot)
        return E_OUTOFMEMORY;
    std::memset(slot, 0, sizeof *slot);
    slot->used = 1;
    slot->flow = flow;
    slot->state = DEVICE_STATE_ACTIVE;
    CopyText(slot->id, kIdLength, id);
    CopyText(slot->name, kNameLength, name);
    slot->level[0] = slot->level[1] = 1.0f;
    for (SubunitState& s : slot->subunits)
        s.selection = 1;
    ++data.serial;
    SharedState::Instance().Publish(NewRecord(kChangeAdded, slot->id));
    RepairDefaultLocked(SharedState::Instance(), data, flow);
    if (newId)
        *newId = id;
    return S_OK;
}

HRESULT RemoveEndpoint(const std::wstring& id)
{
    SharedState::Guard guard;
    SharedLayout& data = guard.data();
    EndpointState* e = FindEndpointLocked(data, id.c_str());
    if (!e)
        return E_NOTFOUND;
    int flow = e->flow;
    ChangeRecord r = NewRecord(kChangeRemoved, e->id);
    std::memset(e, 0, sizeof *e);
    ++data.serial;
    SharedState::Instance().Publish(r);
    RepairDefaultLocked(SharedState::Instance(), data, flow);
    return S_OK;
}

HRESULT SetDefaultEndpoint(const std::wstring& id)
{
    SharedState::Guard guard;
    SharedLayout& data = guard.data();
    EndpointState* e = FindEndpointLocked(data, id.c_str());
    if (!e)
        return E_NOTFOUND;
    if (e->state != DEVICE_STATE_ACTIVE)
        return E_INVALIDARG;
    ChangeDefaultLocked(SharedState::Instance(), data, e->flow, e);
    return S_OK;
}

HRESULT SetEndpointState(const std::wstring& id, DWORD state)
{
    if (state != DEVICE_STATE_ACTIVE && state != DEVICE_STATE_DISABLED && state != DEVICE_STATE_NOTPRESENT &&
        state != DEVICE_STATE_UNPLUGGED)
        return E_INVALIDARG;
    SharedState::Guard guard;
    SharedLayout& data = guard.data();
    EndpointState* e = FindEndpointLocked(data, id.c_str());
    if (!e)
        return E_NOTFOUND;
    if (e->state == state)
        return S_FALSE;
    e->state = state;
    ChangeRecord r = NewRecord(kChangeState, e->id);
    r.state = state;
    SharedState::Instance().Publish(r);
    RepairDefaultLocked(SharedState::Instance(), data, e->flow);
    return S_OK;
}

HRESULT RenameEndpoint(const std::wstring& id, const std::wstring& name)
{
    SharedState::Guard guard;
    EndpointState* e = FindEndpointLocked(guard.data(), id.c_str());
    if (!e)
        return E_NOTFOUND;
    CopyText(e->name, kNameLength, name);
    SharedState::Instance().Publish(NewRecord(kChangeProperty, e->id));
    return S_OK;
}

std::vector<std::wstring> ListEndpoints(int flow, DWORD stateMask)
{
    std::vector<std::wstring> ids;
    SharedState::Guard guard;
    for (const EndpointState& e : guard.data().endpoints)
        if (e.used && (flow == eAll || e.flow == flow) && (e.state & stateMask))
            ids.emplace_back(e.id);
    return ids;
}

bool GetDefaultId(int flow, int role, std::wstring* id)
{
    if (flow != eRender && flow != eCapture)
        return false;
    if (role < 0 || role >= kRoles)
        return false;
    SharedState::Guard guard;
    const wchar_t* current = guard.data().defaults[flow][role];
    if (!*current)
        return false;
    *id = current;
    return true;
}

} // namespace cas
