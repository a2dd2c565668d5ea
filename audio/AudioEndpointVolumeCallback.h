#pragma once
// Volume listener: registered on every active endpoint; tells the main window
// of each volume or mute change, marked as the panel's own when it carries the
// panel's event-context GUID, else as another program's.
#include "ListenerTarget.h"

#include <windows.h>
#include <endpointvolume.h>

class CAudioEndpointVolumeCallback : public IAudioEndpointVolumeCallback, public CListenerTarget {
public:
    CAudioEndpointVolumeCallback() = default;
    CAudioEndpointVolumeCallback(const CAudioEndpointVolumeCallback&) = delete;
    CAudioEndpointVolumeCallback& operator=(const CAudioEndpointVolumeCallback&) = delete;

    // Written before the listener is registered, only read afterwards.
    void SetContext(const GUID& context) { m_context = context; }

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA notice) override;

protected:
    virtual ~CAudioEndpointVolumeCallback() = default;

private:
    LONG m_ref = 1;
    GUID m_context = GUID_NULL;
};
