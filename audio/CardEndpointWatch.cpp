#include "CardEndpointWatch.h"

#include <objbase.h>

bool CCardEndpointWatch::Look(EndpointIds& ids)
{
    if (!m_enumerator &&
        FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                  m_enumerator.putVoid())))
        return false;

    ComPtr<IMMDeviceCollection> endpoints;
    UINT count = 0;
    if (FAILED(m_enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, endpoints.put())) ||
        FAILED(endpoints->GetCount(&count))) {
        Stop(); // a fresh enumerator on the next look
        return false;
    }

    std::vector<std::wstring> current;
    current.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IMMDevice> endpoint;
        LPWSTR id = nullptr;
        if (SUCCEEDED(endpoints->Item(i, endpoint.put())) && SUCCEEDED(endpoint->GetId(&id)) && id)
            current.emplace_back(id);
        else
            current.emplace_back(); // keeps the positions: an unreadable entry still counts
        ::CoTaskMemFree(id);
    }

    // The same endpoints as at the last look, whose names did not match then.
    if (m_namesRead && current == m_lastIds && ++m_looksSinceNames < kNamesEvery)
        return false;

    m_lastIds = std::move(current);
    m_namesRead = true;
    m_looksSinceNames = 0;
    return FindCardEndpointIn(endpoints.get(), ids);
}

void CCardEndpointWatch::Stop()
{
    m_enumerator.reset();
    m_lastIds.clear();
    m_namesRead = false;
    m_looksSinceNames = 0;
}
