#pragma once
// This process's side of the notices: the callbacks registered here, and one
// thread that waits on the process's named event and hands each published
// change to the callbacks it concerns, the way the system calls them (on a
// thread of its own, in the multithreaded apartment). Nothing polls.
#include "SharedState.h"

#include <devicetopology.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <mutex>
#include <string>
#include <vector>

namespace cas {

class Dispatcher {
public:
    static Dispatcher& Instance();

    // Registrations carried by an endpoint volume object or a part; `owner`
    // drops them all when it is destroyed. Each callback is held (AddRef).
    HRESULT AddVolumeSink(const void* owner, const std::wstring& id, IAudioEndpointVolumeCallback* cb);
    HRESULT RemoveVolumeSink(const void* owner, IAudioEndpointVolumeCallback* cb);
    HRESULT AddControlSink(const void* owner, const std::wstring& id, int subunit, ControlKind kind, IControlChangeNotify* cb);
    HRESULT RemoveControlSink(const void* owner, IControlChangeNotify* cb);
    void RemoveOwner(const void* owner);
    // Endpoint notification clients are process-wide, as with the system's enumerator.
    HRESULT AddClient(IMMNotificationClient* client);
    HRESULT RemoveClient(IMMNotificationClient* client);

    bool Running() const { return m_thread != nullptr; }
    // Called when the process lets go of the stand-in: keeps what the process
    // still had registered, and what it registered and withdrew, for others
    // to read after it has gone.
    void RecordEnd();

private:
    Dispatcher() = default;
    struct VolumeSink {
        const void* owner;
        std::wstring id;
        IAudioEndpointVolumeCallback* cb;
    };
    struct ControlSink {
        const void* owner;
        std::wstring id;
        int subunit;
        ControlKind kind;
        IControlChangeNotify* cb;
    };

    bool EnsureRunning();
    void PublishCounts();
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    void Deliver(const ChangeRecord& r);

    std::mutex m_lock;
    std::vector<VolumeSink> m_volume;
    std::vector<ControlSink> m_control;
    std::vector<IMMNotificationClient*> m_clients;
    HANDLE m_event = nullptr;
    HANDLE m_thread = nullptr;
    uint64_t m_lastSeq = 0;
    // Per kind (volume, control, client), under m_lock.
    int32_t m_registered[3] = {};
    int32_t m_withdrawn[3] = {};
};

} // namespace cas
