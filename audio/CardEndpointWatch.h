#pragma once
// Looks for the card's digital-output endpoint on each tick of the panel's
// start-up timer, at little cost while the endpoint is absent: one enumerator
// is kept while the watch runs, and each look only lists the identifiers of
// the active endpoints. The friendly names are read when that list changed
// since the last look, and on every kNamesEvery-th look all the same (an
// endpoint renamed keeps its identifier).
#include "ComPtr.h"
#include "Endpoints.h"

#include <mmdeviceapi.h>

#include <string>
#include <vector>

class CCardEndpointWatch {
public:
    static constexpr unsigned kNamesEvery = 20;

    // True when the card endpoint is active now, its identifier then in
    // ids.cardId (as FindCardEndpoint reports it).
    bool Look(EndpointIds& ids);
    // Releases the enumerator; the next look starts afresh.
    void Stop();

private:
    ComPtr<IMMDeviceEnumerator> m_enumerator;
    std::vector<std::wstring> m_lastIds;
    bool m_namesRead = false;
    unsigned m_looksSinceNames = 0;
};
