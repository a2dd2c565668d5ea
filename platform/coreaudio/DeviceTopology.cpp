// IDeviceTopology: the endpoint's own topology (one connector, no subunits),
// connected to the adapter's topology behind it (one connector and the
// hardware subunits with their controls).
#include "ComBase.h"
#include "Objects.h"

namespace cas {

namespace {

std::wstring HardwareDeviceId(const std::wstring& endpointId) { return L"{2}.\\\\?\\root#vantir_adapter#" + endpointId; }

class CDeviceTopology final : public IDeviceTopology, private ComObject {
public:
    CDeviceTopology(std::wstring id, bool hardware) : m_id(std::move(id)), m_hardware(hardware) {}
    CAS_REFCOUNT

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDeviceTopology)) {
            *out = static_cast<IDeviceTopology*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE GetConnectorCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnector(UINT index, IConnector** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (index != 0)
            return E_INVALIDARG;
        return CreatePart(m_id, m_hardware, -1, __uuidof(IConnector), reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE GetSubunitCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = m_hardware ? kSubunitCount : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSubunit(UINT index, ISubUnit** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!m_hardware || index >= static_cast<UINT>(kSubunitCount))
            return E_INVALIDARG;
        return CreatePart(m_id, true, static_cast<int>(index), __uuidof(ISubUnit), reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE GetPartById(UINT partId, IPart** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        UINT type = partId >> 16, index = partId & 0xFFFF;
        if (type == Connector && index == 0)
            return CreatePart(m_id, m_hardware, -1, __uuidof(IPart), reinterpret_cast<void**>(out));
        if (type == Subunit && m_hardware && index < static_cast<UINT>(kSubunitCount))
            return CreatePart(m_id, true, static_cast<int>(index), __uuidof(IPart), reinterpret_cast<void**>(out));
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceId(LPWSTR* out) override
    {
        return DupTaskString(m_hardware ? HardwareDeviceId(m_id) : m_id, out);
    }
    HRESULT STDMETHODCALLTYPE GetSignalPath(IPart*, IPart*, WINBOOL, IPartsList** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }

private:
    std::wstring m_id;
    bool m_hardware;
};

} // namespace

HRESULT CreateDeviceTopology(const std::wstring& id, bool hardware, REFIID riid, void** out)
{
    auto* t = new (std::nothrow) CDeviceTopology(id, hardware);
    if (!t)
        return E_OUTOFMEMORY;
    HRESULT hr = t->QueryInterface(riid, out);
    t->Release();
    return hr;
}

} // namespace cas
