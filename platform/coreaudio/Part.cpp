// A part of a topology: a connector (IConnector + IPart) or a hardware subunit
// (ISubUnit + IPart). A subunit activates its control interfaces and carries
// control-change registrations for as long as the part object lives.
#include "ComBase.h"
#include "Dispatcher.h"
#include "Objects.h"

#include <cwchar>

namespace cas {

namespace {

class CPart final : public IPart, public IConnector, public ISubUnit, private ComObject {
public:
    CPart(std::wstring id, bool hardware, int subunit) : m_id(std::move(id)), m_hardware(hardware), m_subunit(subunit) {}
    ~CPart() override { Dispatcher::Instance().RemoveOwner(this); }

    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IPart))
            *out = static_cast<IPart*>(this);
        else if (riid == __uuidof(IConnector) && IsConnector())
            *out = static_cast<IConnector*>(this);
        else if (riid == __uuidof(ISubUnit) && !IsConnector())
            *out = static_cast<ISubUnit*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    // IPart
    HRESULT STDMETHODCALLTYPE GetName(LPWSTR* out) override
    {
        wchar_t name[40];
        if (IsConnector())
            swprintf(name, 40, m_hardware ? L"Adapter connector" : L"Endpoint connector");
        else
            swprintf(name, 40, L"Subunit %d", m_subunit);
        return DupTaskString(name, out);
    }
    HRESULT STDMETHODCALLTYPE GetLocalId(UINT* out) override
    {
        if (!out)
            return E_POINTER;
        *out = IsConnector() ? (Connector << 16) : ((Subunit << 16) | static_cast<UINT>(m_subunit));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetGlobalId(LPWSTR* out) override
    {
        UINT local = 0;
        GetLocalId(&local);
        wchar_t suffix[16];
        swprintf(suffix, 16, L"/%05x", local);
        return DupTaskString(m_id + (m_hardware ? L"/adapter" : L"") + suffix, out);
    }
    HRESULT STDMETHODCALLTYPE GetPartType(PartType* out) override
    {
        if (!out)
            return E_POINTER;
        *out = IsConnector() ? Connector : Subunit;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSubType(GUID* out) override
    {
        if (!out)
            return E_POINTER;
        *out = GUID_NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetControlInterfaceCount(UINT* out) override
    {
        if (!out)
            return E_POINTER;
        UINT n = 0;
        for (int k = 0; k < kControlKinds && !IsConnector(); ++k)
            n += SubunitHasControl(m_subunit, static_cast<ControlKind>(k)) ? 1 : 0;
        *out = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetControlInterface(UINT, IControlInterface** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumPartsIncoming(IPartsList** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE EnumPartsOutgoing(IPartsList** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE GetTopologyObjects(IDeviceTopology** out) override
    {
        if (!out)
            return E_POINTER;
        return CreateDeviceTopology(m_id, m_hardware, __uuidof(IDeviceTopology), reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE Activate(DWORD, REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        ControlKind kind;
        if (IsConnector() || !ControlKindOf(riid, &kind) || !SubunitHasControl(m_subunit, kind))
            return E_NOINTERFACE;
        return CreatePartControl(m_id, m_subunit, kind, out);
    }
    HRESULT STDMETHODCALLTYPE RegisterControlChangeCallback(REFGUID riid, IControlChangeNotify* cb) override
    {
        if (!cb)
            return E_POINTER;
        ControlKind kind;
        if (IsConnector() || !ControlKindOf(riid, &kind) || !SubunitHasControl(m_subunit, kind))
            return E_NOINTERFACE;
        return Dispatcher::Instance().AddControlSink(this, m_id, m_subunit, kind, cb);
    }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeCallback(IControlChangeNotify* cb) override
    {
        if (!cb)
            return E_POINTER;
        return Dispatcher::Instance().RemoveControlSink(this, cb);
    }

    // IConnector
    HRESULT STDMETHODCALLTYPE GetType(ConnectorType* out) override
    {
        if (!out)
            return E_POINTER;
        *out = m_hardware ? Physical_Internal : Software_IO;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataFlow(DataFlow* out) override
    {
        if (!out)
            return E_POINTER;
        *out = m_hardware ? Out : In;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ConnectTo(IConnector*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Disconnect() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsConnected(WINBOOL* out) override
    {
        if (!out)
            return E_POINTER;
        *out = TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectedTo(IConnector** out) override
    {
        if (!out)
            return E_POINTER;
        // The endpoint's connector leads to the adapter's, and back.
        return CreatePart(m_id, !m_hardware, -1, __uuidof(IConnector), reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE GetConnectorIdConnectedTo(LPWSTR* out) override
    {
        return DupTaskString(m_id + (m_hardware ? L"" : L"/adapter") + L"/10000", out);
    }
    HRESULT STDMETHODCALLTYPE GetDeviceIdConnectedTo(LPWSTR* out) override
    {
        IDeviceTopology* other = nullptr;
        HRESULT hr = CreateDeviceTopology(m_id, !m_hardware, __uuidof(IDeviceTopology), reinterpret_cast<void**>(&other));
        if (FAILED(hr))
            return hr;
        hr = other->GetDeviceId(out);
        other->Release();
        return hr;
    }

private:
    bool IsConnector() const { return m_subunit < 0; }

    std::wstring m_id;
    bool m_hardware;
    int m_subunit;
};

} // namespace

HRESULT CreatePart(const std::wstring& id, bool hardware, int subunit, REFIID riid, void** out)
{
    auto* p = new (std::nothrow) CPart(id, hardware, subunit);
    if (!p)
        return E_OUTOFMEMORY;
    HRESULT hr = p->QueryInterface(riid, out);
    p->Release();
    return hr;
}

} // namespace cas
