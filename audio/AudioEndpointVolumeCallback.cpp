#include "AudioEndpointVolumeCallback.h"

#include "PanelMessages.h"
#include "PanelModel.h"

ULONG CAudioEndpointVolumeCallback::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_ref)); }

ULONG CAudioEndpointVolumeCallback::Release()
{
    LONG ref = ::InterlockedDecrement(&m_ref);
    if (ref == 0)
        delete this;
    return static_cast<ULONG>(ref);
}

HRESULT CAudioEndpointVolumeCallback::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IAudioEndpointVolumeCallback)) {
        *out = static_cast<IAudioEndpointVolumeCallback*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CAudioEndpointVolumeCallback::OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA notice)
{
    if (!notice)
        return E_POINTER;
    const model::VolumeNoticeSource source = notice->guidEventContext == m_context
                                                 ? model::VolumeNoticeSource::ThisPanel
                                                 : model::VolumeNoticeSource::OtherProgram;
    PostToTarget(WM_VOLUME_CHANGED, model::Number(source));
    return S_OK;
}
