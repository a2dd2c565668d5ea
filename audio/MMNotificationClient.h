#pragma once
// Endpoint notification client: describes the endpoint of every notice, and
// tells the main window when the new default device's description contains
// "pdif" or "through" (compared as written), and when the card's endpoint
// becomes active again (added back, or enabled again).
#include "ComObject.h"
#include "ComPtr.h"
#include "ListenerTarget.h"

#include <windows.h>
#include <mmdeviceapi.h>

#include <string>

class CMMNotificationClient : public ComObject<IMMNotificationClient>, public CListenerTarget {
public:
    CMMNotificationClient();

    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR id, DWORD newState) override;
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR id, const PROPERTYKEY key) override;

    // Replaces the description with the endpoint's friendly name (in the
    // thread's ANSI code page). Joins a single-threaded apartment only when
    // the thread has none, and leaves only what it joined. Returns the new
    // description.
    std::string DescribeDevice(LPCWSTR id);
    std::string Description() const;

private:
    // DescribeDevice, also giving the friendly name as it is and whether the
    // endpoint is active.
    std::string Describe(LPCWSTR id, std::wstring* name, bool* active);
    // The card's endpoint active (again): the card may have lost its settings.
    void TellIfCardEndpointIsBack(LPCWSTR id);

protected:
    // Only Release ends it.
    ~CMMNotificationClient() override = default;

private:
    // The platform may call from more than one thread; the enumerator and
    // the description are touched only under this lock.
    mutable SRWLOCK m_lock = SRWLOCK_INIT;
    ComPtr<IMMDeviceEnumerator> m_enumerator;
    std::string m_description;
};
