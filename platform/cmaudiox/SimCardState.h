#pragma once
// The simulated card's state and call journal, kept in one block of memory
// shared by every process that loads CmAudioX.dll. The block is a view of the
// file CmAudioX.state beside the DLL, so it also survives while no process has
// the DLL loaded; a named mutex serialises access across processes.
#include <windows.h>

#include <cstdint>
#include <initializer_list>

#include "SimCardControl.h"

namespace simcard {

enum Field : int {
    kSpdifStatus,
    kEqStatus,
    kEqMode,
    kEqGain0,
    kEqGain9 = kEqGain0 + 9,
    kEnvMode,
    kRoomSize,
    kImpedanceMode,
    kLargeSpeakers,
    kFlexBass,
    kCrossover,
    kSpkData,
    kNullInterface,
    kFieldCount
};

// Index of a field by its lowerCamel name ("eqGain3"), or -1.
int FieldByName(const char* name);

// The value every field has after a reset (a freshly installed card).
int32_t DefaultValue(int field);

class SimCardState {
public:
    static SimCardState& Instance();

    SimCardState(const SimCardState&) = delete;
    SimCardState& operator=(const SimCardState&) = delete;

    int32_t Get(int field);
    void Set(int field, int32_t value);
    void Reset();
    // Power-on defaults for every field but nullInterface, a journal record
    // of the loss, then not ready for notReadyMs.
    void PowerLoss(int32_t notReadyMs);
    // Not ready (every call refused) for the next ms milliseconds.
    void SetNotReady(int32_t ms);
    bool Ready();

    // Appends one call to the journal (args beyond SIMCARD_MAX_ARGS are cut).
    void Record(const char* op, void* handle, std::initializer_list<int32_t> args, bool refused = false);
    int32_t JournalCount();
    bool JournalEntry(int32_t index, SimCardCall* out);
    void JournalClear();

private:
    struct Shared;
    class Lock;

    SimCardState();
    ~SimCardState();
    void Open();
    void ResetLocked();
    void RecordLocked(const SimCardCall& call);

    HANDLE mutex_ = nullptr;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    Shared* shared_ = nullptr;
};

}  // namespace simcard
