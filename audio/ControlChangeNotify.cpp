#include "ControlChangeNotify.h"

#include "PanelMessages.h"
#include "PanelModel.h"

HRESULT CControlChangeNotify::OnNotify(DWORD, LPCGUID context)
{
    // A change without a context is another program's.
    if (!context || *context != m_context)
        PostToTarget(WM_VOLUME_CHANGED, model::Number(model::VolumeNoticeSource::HardwareControl));
    return S_OK;
}
