#pragma once
// Hardware-control listener: registered on the controls of the hardware
// topology behind the default playback endpoint; tells the main window of
// every change that does not carry the panel's event-context GUID.
#include "ListenerTarget.h"

#include <windows.h>
#include <devicetopology.h>

class CControlChangeNotify : public IControlChangeNotify, public CListenerTarget {
public:
    CControlChangeNotify() = default;
    CControlChangeNotify(const CControlChangeNotify&) = delete;
    CControlChangeNotify& operator=(const CControlChangeNotify&) = delete;

    // Written before the listener is registered, only read afterwards.
    void SetContext(const GUID& context) { m_context = context; }

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE OnNotify(DWORD senderProcessId, LPCGUID context) override;

protected:
    virtual ~CControlChangeNotify() = default;

private:
    LONG m_ref = 1;
    GUID m_context = GUID_NULL;
};
