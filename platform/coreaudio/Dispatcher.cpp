#include "Dispatcher.h"

#include <initguid.h> // defines PKEY_Device_FriendlyName here
#include <functiondiscoverykeys_devpkey.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace cas {

Dispatcher& Dispatcher::Instance()
{
    // Never destroyed: the dispatcher thread may still run while the process ends.
    static Dispatcher* instance = new Dispatcher;
    return *instance;
}

bool Dispatcher::EnsureRunning()
{
    if (m_thread)
        return true;
    SharedState& shared = SharedState::Instance();
    if (!shared.Ready())
        return false;
    if (!m_event) {
        wchar_t name[96];
        SharedState::EventName(::GetCurrentProcessId(), name, 96);
        m_event = ::CreateEventW(nullptr, FALSE, FALSE, name);
        if (!m_event)
            return false;
    }
    {
        SharedState::Guard guard;
        ProcessSlot* slot = shared.OwnSlot();
        if (!slot)
            return false;
        std::memset(slot->counts, 0, sizeof slot->counts);
        std::memset(slot->registered, 0, sizeof slot->registered);
        std::memset(slot->withdrawn, 0, sizeof slot->withdrawn);
        m_lastSeq = guard.data().nextSeq;
    }
    m_thread = ::CreateThread(nullptr, 0, &Dispatcher::ThreadMain, this, 0, nullptr);
    return m_thread != nullptr;
}

void Dispatcher::PublishCounts()
{
    int32_t counts[3];
    int32_t registered[3];
    int32_t withdrawn[3];
    {
        std::lock_guard<std::mutex> lock(m_lock);
        counts[0] = static_cast<int32_t>(m_volume.size());
        counts[1] = static_cast<int32_t>(m_control.size());
        counts[2] = static_cast<int32_t>(m_clients.size());
        std::memcpy(registered, m_registered, sizeof registered);
        std::memcpy(withdrawn, m_withdrawn, sizeof withdrawn);
    }
    SharedState::Guard guard;
    if (ProcessSlot* slot = SharedState::Instance().OwnSlot()) {
        std::memcpy(slot->counts, counts, sizeof counts);
        std::memcpy(slot->registered, registered, sizeof registered);
        std::memcpy(slot->withdrawn, withdrawn, sizeof withdrawn);
    }
}

void Dispatcher::RecordEnd()
{
    // Only the shared section is read: at the end of a process its other
    // threads are gone and may have left m_lock held.
    SharedState& shared = SharedState::Instance();
    if (!shared.Ready())
        return;
    SharedState::Guard guard;
    SharedLayout& data = guard.data();
    ProcessSlot* slot = shared.FindOwnSlot();
    if (!slot)
        return;
    data.ended[data.endedNext % kMaxProcesses].slot = *slot;
    ++data.endedNext;
}

HRESULT Dispatcher::AddVolumeSink(const void* owner, const std::wstring& id, IAudioEndpointVolumeCallback* cb)
{
    if (!cb)
        return E_POINTER;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!EnsureRunning())
            return E_FAIL;
        cb->AddRef();
        m_volume.push_back({owner, id, cb});
        ++m_registered[0];
    }
    PublishCounts();
    return S_OK;
}

HRESULT Dispatcher::RemoveVolumeSink(const void* owner, IAudioEndpointVolumeCallback* cb)
{
    IAudioEndpointVolumeCallback* removed = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = std::find_if(m_volume.begin(), m_volume.end(),
                               [&](const VolumeSink& s) { return s.owner == owner && s.cb == cb; });
        if (it == m_volume.end())
            return E_INVALIDARG;
        removed = it->cb;
        m_volume.erase(it);
        ++m_withdrawn[0];
    }
    removed->Release();
    PublishCounts();
    return S_OK;
}

HRESULT Dispatcher::AddControlSink(const void* owner, const std::wstring& id, int subunit, ControlKind kind,
                                   IControlChangeNotify* cb)
{
    if (!cb)
        return E_POINTER;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!EnsureRunning())
            return E_FAIL;
        cb->AddRef();
        m_control.push_back({owner, id, subunit, kind, cb});
        ++m_registered[1];
    }
    PublishCounts();
    return S_OK;
}

HRESULT Dispatcher::RemoveControlSink(const void* owner, IControlChangeNotify* cb)
{
    std::vector<IControlChangeNotify*> removed;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto it = m_control.begin(); it != m_control.end();) {
            if (it->owner == owner && it->cb == cb) {
                removed.push_back(it->cb);
                it = m_control.erase(it);
                ++m_withdrawn[1];
            } else {
                ++it;
            }
        }
    }
    if (removed.empty())
        return E_INVALIDARG;
    for (IControlChangeNotify* r : removed)
        r->Release();
    PublishCounts();
    return S_OK;
}

void Dispatcher::RemoveOwner(const void* owner)
{
    std::vector<IUnknown*> removed;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto it = m_volume.begin(); it != m_volume.end();)
            if (it->owner == owner) {
                removed.push_back(it->cb);
                it = m_volume.erase(it);
            } else {
                ++it;
            }
        for (auto it = m_control.begin(); it != m_control.end();)
            if (it->owner == owner) {
                removed.push_back(it->cb);
                it = m_control.erase(it);
            } else {
                ++it;
            }
    }
    if (removed.empty())
        return;
    for (IUnknown* r : removed)
        r->Release();
    PublishCounts();
}

HRESULT Dispatcher::AddClient(IMMNotificationClient* client)
{
    if (!client)
        return E_POINTER;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!EnsureRunning())
            return E_FAIL;
        client->AddRef();
        m_clients.push_back(client);
        ++m_registered[2];
    }
    PublishCounts();
    return S_OK;
}

HRESULT Dispatcher::RemoveClient(IMMNotificationClient* client)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = std::find(m_clients.begin(), m_clients.end(), client);
        if (it == m_clients.end())
            return E_NOTFOUND;
        m_clients.erase(it);
        ++m_withdrawn[2];
    }
    client->Release();
    PublishCounts();
    return S_OK;
}

DWORD WINAPI Dispatcher::ThreadMain(void* self)
{
    // Notices arrive on a thread of the multithreaded apartment, as the system's do.
    HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    try {
        static_cast<Dispatcher*>(self)->Run();
    } catch (...) {
    }
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    return 0;
}

void Dispatcher::Run()
{
    std::vector<ChangeRecord> records;
    for (;;) {
        if (::WaitForSingleObject(m_event, INFINITE) != WAIT_OBJECT_0)
            return;
        records.clear();
        {
            SharedState::Guard guard;
            m_lastSeq = SharedState::Instance().ReadSince(m_lastSeq, records);
        }
        for (const ChangeRecord& r : records)
            Deliver(r);
    }
}

void Dispatcher::Deliver(const ChangeRecord& r)
{
    // Callbacks are taken (AddRef) under the lock and called outside it, so a
    // callback may register or unregister without deadlocking.
    std::vector<IUnknown*> targets;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (r.kind == kChangeVolume) {
            for (const VolumeSink& s : m_volume)
                if (_wcsicmp(s.id.c_str(), r.deviceId) == 0)
                    targets.push_back(s.cb);
        } else if (r.kind == kChangeControl) {
            for (const ControlSink& s : m_control)
                if (s.subunit == r.subunit && s.kind == r.control && _wcsicmp(s.id.c_str(), r.deviceId) == 0)
                    targets.push_back(s.cb);
        } else {
            targets.assign(m_clients.begin(), m_clients.end());
        }
        for (IUnknown* t : targets)
            t->AddRef();
    }
    for (IUnknown* t : targets) {
        switch (r.kind) {
        case kChangeVolume: {
            // The notice carries both channels: the array runs past the struct.
            alignas(AUDIO_VOLUME_NOTIFICATION_DATA) BYTE buffer[sizeof(AUDIO_VOLUME_NOTIFICATION_DATA) +
                                                                (kChannels - 1) * sizeof(float)] = {};
            auto* data = reinterpret_cast<AUDIO_VOLUME_NOTIFICATION_DATA*>(buffer);
            data->guidEventContext = r.context;
            data->bMuted = r.mute;
            data->fMasterVolume = r.master;
            data->nChannels = kChannels;
            std::memcpy(buffer + offsetof(AUDIO_VOLUME_NOTIFICATION_DATA, afChannelVolumes), r.level, sizeof r.level);
            static_cast<IAudioEndpointVolumeCallback*>(t)->OnNotify(data);
            break;
        }
        case kChangeControl:
            static_cast<IControlChangeNotify*>(t)->OnNotify(r.senderPid, r.hasContext ? &r.context : nullptr);
            break;
        case kChangeAdded:
            static_cast<IMMNotificationClient*>(t)->OnDeviceAdded(r.deviceId);
            break;
        case kChangeRemoved:
            static_cast<IMMNotificationClient*>(t)->OnDeviceRemoved(r.deviceId);
            break;
        case kChangeState:
            static_cast<IMMNotificationClient*>(t)->OnDeviceStateChanged(r.deviceId, r.state);
            break;
        case kChangeDefault:
            static_cast<IMMNotificationClient*>(t)->OnDefaultDeviceChanged(
                static_cast<EDataFlow>(r.flow), static_cast<ERole>(r.role), r.deviceId[0] ? r.deviceId : nullptr);
            break;
        case kChangeProperty:
            static_cast<IMMNotificationClient*>(t)->OnPropertyValueChanged(r.deviceId, PKEY_Device_FriendlyName);
            break;
        default:
            break;
        }
        t->Release();
    }
}

} // namespace cas
