#pragma once
// Hardware-control listener: registered on the controls of the hardware
// topology behind the default playback endpoint; tells the main window of
// every change that does not carry the panel's event-context GUID.
#include "ComObject.h"
#include "ListenerTarget.h"

#include <windows.h>
#include <devicetopology.h>

class CControlChangeNotify : public ComObject<IControlChangeNotify>, public CListenerTarget {
public:
    CControlChangeNotify() = default;

    // Written before the listener is registered, only read afterwards.
    void SetContext(const GUID& context) { m_context = context; }

    HRESULT STDMETHODCALLTYPE OnNotify(DWORD senderProcessId, LPCGUID context) override;

protected:
    // Only Release ends it.
    ~CControlChangeNotify() override = default;

private:
    GUID m_context = GUID_NULL;
};
