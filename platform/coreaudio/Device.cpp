// IMMDevice: one endpoint, by identifier. Objects activated from an endpoint
// that has gone report AUDCLNT_E_DEVICE_INVALIDATED.
#include "ComBase.h"
#include "Objects.h"
#include "StandInModel.h"

#include <audioclient.h>
#include <endpointvolume.h>

namespace cas {

namespace {

class CDevice final : public IMMDevice, private ComObject {
public:
    explicit CDevice(std::wstring id) : m_id(std::move(id)) {}
    CAS_REFCOUNT

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IMMDevice)) {
            *out = static_cast<IMMDevice*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        EndpointState state;
        if (!ReadEndpoint(m_id, &state))
            return AUDCLNT_E_DEVICE_INVALIDATED;
        if (iid == __uuidof(IAudioEndpointVolume))
            return CreateEndpointVolume(m_id, iid, out);
        if (iid == __uuidof(IDeviceTopology))
            return CreateDeviceTopology(m_id, false, iid, out);
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD access, IPropertyStore** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (access != STGM_READ && access != STGM_WRITE && access != STGM_READWRITE)
            return E_INVALIDARG;
        EndpointState state;
        if (!ReadEndpoint(m_id, &state))
            return E_NOTFOUND;
        return CreatePropertyStore(state.name, state.nameUnreadable == 0, out);
    }

    HRESULT STDMETHODCALLTYPE GetId(LPWSTR* out) override { return DupTaskString(m_id, out); }

    HRESULT STDMETHODCALLTYPE GetState(DWORD* out) override
    {
        if (!out)
            return E_POINTER;
        EndpointState state;
        *out = ReadEndpoint(m_id, &state) ? state.state : DEVICE_STATE_NOTPRESENT;
        return S_OK;
    }

private:
    std::wstring m_id;
};

} // namespace

HRESULT CreateDevice(const std::wstring& id, IMMDevice** out)
{
    auto* d = new (std::nothrow) CDevice(id);
    if (!d)
        return E_OUTOFMEMORY;
    *out = d;
    return S_OK;
}

} // namespace cas
