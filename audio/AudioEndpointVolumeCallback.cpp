#include "AudioEndpointVolumeCallback.h"

#include "PanelMessages.h"
#include "PanelModel.h"

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
