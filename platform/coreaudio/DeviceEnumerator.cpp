// IMMDeviceEnumerator of the simulated machine.
#include "ComBase.h"
#include "Dispatcher.h"
#include "Objects.h"
#include "SharedState.h"
#include "StandInModel.h"

namespace cas {

namespace {

class CDeviceEnumerator final : public IMMDeviceEnumerator, private ComObject {
public:
    CAS_REFCOUNT

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IMMDeviceEnumerator)) {
            *out = static_cast<IMMDeviceEnumerator*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD stateMask, IMMDeviceCollection** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (flow != eRender && flow != eCapture && flow != eAll)
            return E_INVALIDARG;
        if (stateMask == 0 || (stateMask & ~DEVICE_STATEMASK_ALL) != 0)
            return E_INVALIDARG;
        {
            SharedState::Guard guard;
            ++guard.data().enumerations;
        }
        return CreateDeviceCollection(ListEndpoints(flow, stateMask), out);
    }

    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role, IMMDevice** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if ((flow != eRender && flow != eCapture) || role < eConsole || role > eCommunications)
            return E_INVALIDARG;
        std::wstring id;
        if (!GetDefaultId(flow, role, &id))
            return E_NOTFOUND;
        return CreateDevice(id, out);
    }

    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** out) override
    {
        if (!out || !id)
            return E_POINTER;
        *out = nullptr;
        EndpointState state;
        if (!ReadEndpoint(id, &state))
            return E_NOTFOUND;
        return CreateDevice(state.id, out);
    }

    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient* client) override
    {
        return Dispatcher::Instance().AddClient(client);
    }

    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override
    {
        if (!client)
            return E_POINTER;
        return Dispatcher::Instance().RemoveClient(client);
    }
};

} // namespace

HRESULT CreateDeviceEnumerator(REFIID riid, void** out)
{
    if (SharedState::Instance().Ready()) {
        SharedState::Guard guard;
        if (guard.data().faults & kFaultNoServer)
            return CO_E_SERVER_EXEC_FAILURE; // as when the system's audio service does not run
    }
    auto* e = new (std::nothrow) CDeviceEnumerator;
    if (!e)
        return E_OUTOFMEMORY;
    HRESULT hr = e->QueryInterface(riid, out);
    e->Release();
    return hr;
}

} // namespace cas
