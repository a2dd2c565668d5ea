#include "SharedState.h"

#include <mmdeviceapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace cas {

namespace {
constexpr uint32_t kMagic = 0x5A434153; // "ZCAS"
const wchar_t kMappingName[] = L"Local\\ZephrinCoreAudioStandIn.State";
const wchar_t kMutexName[] = L"Local\\ZephrinCoreAudioStandIn.Lock";

void CopyText(wchar_t* dst, size_t cap, const wchar_t* src)
{
    wcsncpy(dst, src ? src : L"", cap - 1);
    dst[cap - 1] = L'\0';
}

void InitEndpoint(EndpointState& e, const wchar_t* id, const wchar_t* name, EDataFlow flow, float level)
{
    std::memset(&e, 0, sizeof e);
    e.used = 1;
    e.flow = flow;
    e.state = DEVICE_STATE_ACTIVE;
    CopyText(e.id, kIdLength, id);
    CopyText(e.name, kNameLength, name);
    for (float& l : e.level)
        l = level;
    for (SubunitState& s : e.subunits)
        s.selection = 1;
}

// The state file lives in the machine's ProgramData folder (one per Wine prefix).
HANDLE OpenStateFile()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableW(L"ProgramData", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return INVALID_HANDLE_VALUE;
    wchar_t path[MAX_PATH + 64] = {};
    swprintf(path, MAX_PATH + 64, L"%ls\\Zephrin Core Audio", folder);
    ::CreateDirectoryW(path, nullptr);
    wcscat(path, L"\\endpoints.bin");
    return ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}
} // namespace

bool SubunitHasControl(int index, ControlKind kind)
{
    switch (kind) {
    case kControlMute:
    case kControlVolume:
        return index >= 0 && index < kSubunitCount;
    case kControlAutoGain:
        return index == 3 || index == 10 || index == 17 || index == 24;
    case kControlInputSelector:
        return index == 4 || index == 13 || index == 22;
    default:
        return false;
    }
}

SharedState& SharedState::Instance()
{
    static SharedState instance;
    return instance;
}

SharedState::SharedState()
{
    m_mutex = ::CreateMutexW(nullptr, FALSE, kMutexName);
    if (!m_mutex)
        return;
    Lock();
    m_file = OpenStateFile();
    m_mapping = ::CreateFileMappingW(m_file, nullptr, PAGE_READWRITE, 0, sizeof(SharedLayout), kMappingName);
    if (!m_mapping) // no state file: the machine's state then lives while some process holds it
        m_mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedLayout), kMappingName);
    if (m_mapping)
        m_data = static_cast<SharedLayout*>(::MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedLayout)));
    if (m_data && (m_data->magic != kMagic || m_data->size != sizeof(SharedLayout))) {
        // A new machine, or a file from another layout: start from the default scenario.
        std::memset(m_data, 0, sizeof(SharedLayout));
        m_data->magic = kMagic;
        m_data->size = sizeof(SharedLayout);
        LoadDefaultScenarioLocked(*m_data);
    }
    Unlock();
}

void SharedState::Lock()
{
    // An abandoned lock (its owner ended inside a change) is simply taken over.
    ::WaitForSingleObject(m_mutex, INFINITE);
}

void SharedState::Unlock() { ::ReleaseMutex(m_mutex); }

SharedState::Guard::Guard() { Instance().Lock(); }
SharedState::Guard::~Guard() { Instance().Unlock(); }
SharedLayout& SharedState::Guard::data() const { return *Instance().m_data; }

void SharedState::EventName(DWORD pid, wchar_t* out, size_t cap)
{
    swprintf(out, cap, L"Local\\ZephrinCoreAudioStandIn.Notify.%lu", static_cast<unsigned long>(pid));
}

void SharedState::Publish(ChangeRecord record)
{
    if (!m_data)
        return;
    record.seq = ++m_data->nextSeq;
    m_data->ring[record.seq % kRingSize] = record;
    for (ProcessSlot& slot : m_data->processes) {
        if (slot.pid == 0)
            continue;
        wchar_t name[96];
        EventName(slot.pid, name, 96);
        HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
        if (!event) {
            // That process has ended (its event went with it): free the slot.
            std::memset(&slot, 0, sizeof slot);
            continue;
        }
        ::SetEvent(event);
        ::CloseHandle(event);
    }
}

uint64_t SharedState::ReadSince(uint64_t seq, std::vector<ChangeRecord>& out) const
{
    if (!m_data)
        return seq;
    uint64_t last = m_data->nextSeq;
    if (seq > last)
        seq = last; // the machine was reset under us
    if (last - seq > static_cast<uint64_t>(kRingSize))
        seq = last - kRingSize;
    for (uint64_t s = seq + 1; s <= last; ++s)
        out.push_back(m_data->ring[s % kRingSize]);
    return last;
}

ProcessSlot* SharedState::FindOwnSlot()
{
    if (!m_data)
        return nullptr;
    DWORD pid = ::GetCurrentProcessId();
    for (ProcessSlot& slot : m_data->processes)
        if (slot.pid == pid)
            return &slot;
    return nullptr;
}

ProcessSlot* SharedState::OwnSlot()
{
    if (!m_data)
        return nullptr;
    DWORD pid = ::GetCurrentProcessId();
    if (ProcessSlot* own = FindOwnSlot())
        return own;
    for (ProcessSlot& slot : m_data->processes) {
        bool free = slot.pid == 0;
        if (!free) {
            wchar_t name[96];
            EventName(slot.pid, name, 96);
            HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, name);
            free = event == nullptr;
            if (event)
                ::CloseHandle(event);
        }
        if (free) {
            std::memset(&slot, 0, sizeof slot);
            slot.pid = pid;
            return &slot;
        }
    }
    return nullptr;
}

EndpointState* FindEndpointLocked(SharedLayout& data, const wchar_t* id)
{
    if (!id || !*id)
        return nullptr;
    for (EndpointState& e : data.endpoints)
        if (e.used && _wcsicmp(e.id, id) == 0)
            return &e;
    return nullptr;
}

void LoadDefaultScenarioLocked(SharedLayout& data)
{
    std::memset(data.endpoints, 0, sizeof data.endpoints);
    std::memset(data.defaults, 0, sizeof data.defaults);
    data.faults = 0;
    InitEndpoint(data.endpoints[0], L"{0.0.0.00000000}.{6c5e1a3b-2f0d-4b8e-9a41-0d3f5e7a1c01}", L"Speakers", eRender, 0.75f);
    InitEndpoint(data.endpoints[1], L"{0.0.0.00000000}.{6c5e1a3b-2f0d-4b8e-9a41-0d3f5e7a1c02}",
                 L"VANTIR Digital Output (S/PDIF)", eRender, 1.0f);
    InitEndpoint(data.endpoints[2], L"{0.0.1.00000000}.{6c5e1a3b-2f0d-4b8e-9a41-0d3f5e7a1c03}", L"Microphone", eCapture, 0.6f);
    for (int role = 0; role < kRoles; ++role) {
        CopyText(data.defaults[eRender][role], kIdLength, data.endpoints[0].id);
        CopyText(data.defaults[eCapture][role], kIdLength, data.endpoints[2].id);
    }
    ++data.serial;
}

} // namespace cas
