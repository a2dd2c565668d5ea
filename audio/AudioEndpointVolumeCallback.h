#pragma once
// Volume listener: registered on every active endpoint; tells the main window
// of each volume or mute change, marked as the panel's own when it carries the
// panel's event-context GUID, else as another program's.
#include "ComObject.h"
#include "ListenerTarget.h"

#include <windows.h>
#include <endpointvolume.h>

class CAudioEndpointVolumeCallback : public ComObject<IAudioEndpointVolumeCallback>, public CListenerTarget {
public:
    CAudioEndpointVolumeCallback() = default;

    // Written before the listener is registered, only read afterwards.
    void SetContext(const GUID& context) { m_context = context; }

    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA notice) override;

protected:
    // Only Release ends it.
    ~CAudioEndpointVolumeCallback() override = default;

private:
    GUID m_context = GUID_NULL;
};
