#include "ControlChangeNotify.h"

#include "PanelMessages.h"
#include "PanelModel.h"

ULONG CControlChangeNotify::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_ref)); }

ULONG CControlChangeNotify::Release()
{
    LONG ref = ::InterlockedDecrement(&m_ref);
    if (ref == 0)
        delete this;
    return static_cast<ULONG>(ref);
}

HRESULT CControlChangeNotify::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IControlChangeNotify)) {
        *out = static_cast<IControlChangeNotify*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CControlChangeNotify::OnNotify(DWORD, LPCGUID context)
{
    // A change without a context is another program's.
    if (!context || *context != m_context)
        PostToTarget(WM_VOLUME_CHANGED, model::Number(model::VolumeNoticeSource::HardwareControl));
    return S_OK;
}
