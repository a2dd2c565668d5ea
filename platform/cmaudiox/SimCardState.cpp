#include "SimCardState.h"

#include <cstring>
#include <string>

namespace simcard {

namespace {

constexpr uint32_t kMagic = 0x44524143;  // "CARD"

struct FieldName {
    const char* name;
    int field;
};

constexpr FieldName kFieldNames[] = {
    {"spdifStatus", kSpdifStatus},     {"eqStatus", kEqStatus},
    {"eqMode", kEqMode},               {"eqGain0", kEqGain0 + 0},
    {"eqGain1", kEqGain0 + 1},         {"eqGain2", kEqGain0 + 2},
    {"eqGain3", kEqGain0 + 3},         {"eqGain4", kEqGain0 + 4},
    {"eqGain5", kEqGain0 + 5},         {"eqGain6", kEqGain0 + 6},
    {"eqGain7", kEqGain0 + 7},         {"eqGain8", kEqGain0 + 8},
    {"eqGain9", kEqGain0 + 9},         {"envMode", kEnvMode},
    {"roomSize", kRoomSize},           {"impedanceMode", kImpedanceMode},
    {"largeSpeakers", kLargeSpeakers}, {"flexBass", kFlexBass},
    {"crossover", kCrossover},         {"spkData", kSpkData},
    {"nullInterface", kNullInterface},
};

// FNV-1a over the state file's path: processes using the same file share the
// same mutex and mapping names, copies of the DLL elsewhere do not interfere.
uint32_t HashPath(const std::wstring& path) {
    uint32_t hash = 2166136261u;
    for (wchar_t c : path) {
        hash ^= static_cast<uint32_t>(towlower(c));
        hash *= 16777619u;
    }
    return hash;
}

std::wstring StateFilePath() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&StateFilePath), &self)) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return path + L"CmAudioX.state";
}

}  // namespace

int FieldByName(const char* name) {
    if (!name) return -1;
    for (const auto& entry : kFieldNames) {
        if (std::strcmp(entry.name, name) == 0) return entry.field;
    }
    return -1;
}

int32_t DefaultValue(int field) {
    switch (field) {
    case kEnvMode: return 28;          // no environment effect
    case kCrossover: return 80;        // hertz
    case kSpkData: return 0x140004;    // output to the speakers
    default: return 0;                 // everything off, flat equalizer
    }
}

struct SimCardState::Shared {
    uint32_t magic;
    uint32_t layoutSize;
    int32_t fields[kFieldCount];
    uint64_t notReadyUntil; // system tick count (milliseconds) the card is ready again
    int32_t journalFirst;  // ring position of the oldest record held
    int32_t journalCount;  // records held, at most the capacity
    SimCardCall journal[SIMCARD_JOURNAL_CAPACITY];
};

// Holds the cross-process mutex. A process that died holding it leaves it
// abandoned; the next owner simply carries on (every write is a whole value).
// If the mutex is missing or stuck, the call goes ahead unguarded rather than
// hanging the caller's interface thread.
class SimCardState::Lock {
public:
    explicit Lock(HANDLE mutex) : mutex_(mutex) {
        if (mutex_) {
            DWORD r = WaitForSingleObject(mutex_, 5000);
            owned_ = (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED);
        }
    }
    ~Lock() {
        if (owned_) ReleaseMutex(mutex_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    HANDLE mutex_;
    bool owned_ = false;
};

SimCardState& SimCardState::Instance() {
    static SimCardState state;
    return state;
}

SimCardState::SimCardState() { Open(); }

SimCardState::~SimCardState() {
    if (shared_ && mapping_) UnmapViewOfFile(shared_);
    if (mapping_) CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (mutex_) CloseHandle(mutex_);
}

void SimCardState::Open() {
    const std::wstring path = StateFilePath();
    const std::wstring tag = std::to_wstring(HashPath(path));
    mutex_ = CreateMutexW(nullptr, FALSE, (L"Local\\ZephrinSimCardLock-" + tag).c_str());
    Lock lock(mutex_);

    if (!path.empty()) {
        file_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    // Without a file (a read-only folder) the state is still shared by the
    // running processes through the system's paging file.
    const std::wstring mappingName = L"Local\\ZephrinSimCardState-" + tag;
    mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READWRITE, 0, sizeof(Shared),
                                  mappingName.c_str());
    if (mapping_) {
        shared_ = static_cast<Shared*>(
            MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(Shared)));
    }
    if (!shared_) {
        // Last resort: a card private to this process, so no call ever fails.
        static Shared privateCard;
        if (mapping_) {
            CloseHandle(mapping_);
            mapping_ = nullptr;
        }
        shared_ = &privateCard;
    }
    // A new, truncated or foreign file starts as a freshly installed card.
    if (shared_->magic != kMagic || shared_->layoutSize != sizeof(Shared)) ResetLocked();
}

void SimCardState::ResetLocked() {
    shared_->magic = kMagic;
    shared_->layoutSize = sizeof(Shared);
    for (int f = 0; f < kFieldCount; ++f) shared_->fields[f] = DefaultValue(f);
    shared_->notReadyUntil = 0;
    shared_->journalFirst = 0;
    shared_->journalCount = 0;
    std::memset(shared_->journal, 0, sizeof(shared_->journal));
}

int32_t SimCardState::Get(int field) {
    if (field < 0 || field >= kFieldCount) return 0;
    Lock lock(mutex_);
    return shared_->fields[field];
}

void SimCardState::Set(int field, int32_t value) {
    if (field < 0 || field >= kFieldCount) return;
    Lock lock(mutex_);
    shared_->fields[field] = value;
}

void SimCardState::Reset() {
    Lock lock(mutex_);
    ResetLocked();
}

void SimCardState::PowerLoss(int32_t notReadyMs) {
    SimCardCall call{};
    std::strncpy(call.op, "SimCard_PowerLoss", sizeof(call.op) - 1);
    call.argCount = 1;
    call.args[0] = notReadyMs;

    Lock lock(mutex_);
    for (int f = 0; f < kFieldCount; ++f) {
        if (f != kNullInterface) shared_->fields[f] = DefaultValue(f);
    }
    shared_->notReadyUntil = GetTickCount64() + static_cast<uint64_t>(notReadyMs > 0 ? notReadyMs : 0);
    RecordLocked(call);
}

void SimCardState::SetNotReady(int32_t ms) {
    Lock lock(mutex_);
    shared_->notReadyUntil = GetTickCount64() + static_cast<uint64_t>(ms > 0 ? ms : 0);
}

bool SimCardState::Ready() {
    Lock lock(mutex_);
    return GetTickCount64() >= shared_->notReadyUntil;
}

void SimCardState::Record(const char* op, void* handle, std::initializer_list<int32_t> args, bool refused) {
    SimCardCall call{};
    std::strncpy(call.op, op, sizeof(call.op) - 1);
    call.handle = static_cast<int64_t>(reinterpret_cast<intptr_t>(handle));
    for (int32_t a : args) {
        if (call.argCount == SIMCARD_MAX_ARGS) break;
        call.args[call.argCount++] = a;
    }
    call.refused = refused ? 1 : 0;

    Lock lock(mutex_);
    RecordLocked(call);
}

void SimCardState::RecordLocked(const SimCardCall& call) {
    // Guard against a damaged file: positions are brought back into range.
    int32_t first = shared_->journalFirst;
    int32_t count = shared_->journalCount;
    if (first < 0 || first >= SIMCARD_JOURNAL_CAPACITY) first = 0;
    if (count < 0 || count > SIMCARD_JOURNAL_CAPACITY) count = 0;
    if (count == SIMCARD_JOURNAL_CAPACITY) {
        shared_->journal[first] = call;  // drop the oldest
        first = (first + 1) % SIMCARD_JOURNAL_CAPACITY;
    } else {
        shared_->journal[(first + count) % SIMCARD_JOURNAL_CAPACITY] = call;
        ++count;
    }
    shared_->journalFirst = first;
    shared_->journalCount = count;
}

int32_t SimCardState::JournalCount() {
    Lock lock(mutex_);
    int32_t count = shared_->journalCount;
    return (count < 0 || count > SIMCARD_JOURNAL_CAPACITY) ? 0 : count;
}

bool SimCardState::JournalEntry(int32_t index, SimCardCall* out) {
    if (!out) return false;
    Lock lock(mutex_);
    int32_t first = shared_->journalFirst;
    int32_t count = shared_->journalCount;
    if (first < 0 || first >= SIMCARD_JOURNAL_CAPACITY) return false;
    if (count < 0 || count > SIMCARD_JOURNAL_CAPACITY) return false;
    if (index < 0 || index >= count) return false;
    *out = shared_->journal[(first + index) % SIMCARD_JOURNAL_CAPACITY];
    out->op[sizeof(out->op) - 1] = '\0';
    if (out->argCount < 0 || out->argCount > SIMCARD_MAX_ARGS) out->argCount = 0;
    return true;
}

void SimCardState::JournalClear() {
    Lock lock(mutex_);
    shared_->journalFirst = 0;
    shared_->journalCount = 0;
}

}  // namespace simcard
