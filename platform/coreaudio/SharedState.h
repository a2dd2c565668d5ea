#pragma once
// The simulated machine's audio endpoints, kept in one named section backed by
// a file in the prefix's ProgramData folder, so that every process of the
// machine (the panel, test programs, castool) sees one system and the state
// outlives the processes that changed it. A named mutex guards it.
//
// Changes are published as records in a ring inside the section. Each process
// that registered a callback owns a slot and a named auto-reset event; a
// publisher signals every slot's event, and that process's dispatcher thread
// reads the records it has not seen yet.
#include <windows.h>
#include <cstdint>
#include <vector>

namespace cas {

constexpr int kMaxEndpoints = 16;
constexpr int kIdLength = 80;
constexpr int kNameLength = 128;
constexpr int kChannels = 2;
constexpr int kSubunitCount = 30;
constexpr int kRingSize = 256;
constexpr int kMaxProcesses = 32;
constexpr int kFlows = 2; // eRender, eCapture
constexpr int kRoles = 3; // eConsole, eMultimedia, eCommunications

constexpr float kMinDb = -65.25f;
constexpr float kMaxDb = 0.0f;
constexpr float kStepDb = 0.03125f;

// The control interfaces a hardware subunit can carry.
enum ControlKind : int32_t { kControlAutoGain = 0, kControlInputSelector, kControlMute, kControlVolume, kControlKinds };

struct SubunitState {
    int32_t mute;
    int32_t autoGain;
    uint32_t selection;
    float levelDb[kChannels];
};

struct EndpointState {
    int32_t used;
    int32_t flow;   // EDataFlow
    uint32_t state; // DEVICE_STATE_*
    wchar_t id[kIdLength];
    wchar_t name[kNameLength];
    float level[kChannels]; // scalar 0.0 .. 1.0
    int32_t mute;
    int32_t nameUnreadable; // a test mode: reading the friendly name fails
    int32_t levelsUnreadable; // a test mode: the endpoint opens, but reading its levels fails
    SubunitState subunits[kSubunitCount];
};

enum ChangeKind : int32_t {
    kChangeVolume = 1,
    kChangeControl,
    kChangeAdded,
    kChangeRemoved,
    kChangeState,
    kChangeDefault,
    kChangeProperty,
};

struct ChangeRecord {
    uint64_t seq;
    int32_t kind;
    wchar_t deviceId[kIdLength]; // empty: none (a default change to no endpoint)
    int32_t hasContext;
    GUID context;
    uint32_t senderPid;
    int32_t subunit;
    int32_t control;
    int32_t flow;
    int32_t role;
    uint32_t state;
    int32_t mute;
    float master;
    float level[kChannels];
};

// Each array: volume callbacks, control callbacks, notification clients.
struct ProcessSlot {
    uint32_t pid;
    int32_t counts[3];     // in force now
    int32_t registered[3]; // made since the process first registered
    int32_t withdrawn[3];  // withdrawn by the process itself (the Unregister calls)
};

// What a process left behind when it let go of the stand-in (it ended, or
// unloaded the library): its slot as it was at that moment.
struct EndedProcess {
    ProcessSlot slot;
};

// Test modes of the simulated machine, for faults the real system can show.
enum FaultFlags : uint32_t {
    kFaultNoServer = 1,         // the enumerator cannot be created
    kFaultLevelsOutOfRange = 2, // every level read answers outside 0.0 .. 1.0
};

struct SharedLayout {
    uint32_t magic;
    uint32_t size;
    uint32_t serial;
    EndpointState endpoints[kMaxEndpoints];
    wchar_t defaults[kFlows][kRoles][kIdLength];
    uint64_t nextSeq;
    ChangeRecord ring[kRingSize];
    ProcessSlot processes[kMaxProcesses];
    EndedProcess ended[kMaxProcesses]; // a ring, the oldest overwritten
    uint32_t endedNext;
    uint32_t faults; // FaultFlags
    uint64_t enumerations; // endpoint lists handed out, by every process
};

// Which control interfaces subunit `index` carries: every subunit has a mute
// and a volume level; a few also have automatic gain or an input selector.
bool SubunitHasControl(int index, ControlKind kind);

class SharedState {
public:
    static SharedState& Instance();

    // Holds the machine-wide lock for its lifetime.
    class Guard {
    public:
        Guard();
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        SharedLayout& data() const;
    };

    bool Ready() const { return m_data != nullptr; }

    // With the lock held: appends a change record and wakes every registered
    // process. Slots of processes that have ended are freed on the way.
    void Publish(ChangeRecord record);
    // With the lock held: records after `seq` (at most the ring's length);
    // returns the new last sequence number seen.
    uint64_t ReadSince(uint64_t seq, std::vector<ChangeRecord>& out) const;
    // With the lock held: this process's slot (created on first use).
    ProcessSlot* OwnSlot();
    // With the lock held: this process's slot, or null when it has none.
    ProcessSlot* FindOwnSlot();
    // Name of the event a process waits on.
    static void EventName(DWORD pid, wchar_t* out, size_t cap);

private:
    SharedState();
    void Lock();
    void Unlock();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    HANDLE m_mutex = nullptr;
    SharedLayout* m_data = nullptr;
};

// Fills the layout with the default scenario (endpoints and defaults only;
// the ring and the process slots are kept).
void LoadDefaultScenarioLocked(SharedLayout& data);
EndpointState* FindEndpointLocked(SharedLayout& data, const wchar_t* id);

} // namespace cas
