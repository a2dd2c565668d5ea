// The simulated card behind the CMSUP_ operations. Every Set stores its value,
// every Get returns what the matching Set stored last (or the card's default)
// and writes its out-parameter on every call, failure included. Every call is
// journalled, refused ones too. A call is refused (answers 0) when the handle
// is not one CMSUP_GetInterface handed out, an argument is a null pointer, or
// the card is not ready (after a power loss).
#include "CmAudioX.h"
#include "SimCardControl.h"
#include "SimCardState.h"

using simcard::SimCardState;

namespace {

// The one handle the card hands out; the same value in every process.
const CMSUP_HANDLE kInterfaceHandle = reinterpret_cast<CMSUP_HANDLE>(static_cast<intptr_t>(0x56A17001));

// A call the card takes: the handle it handed out, while it is ready.
bool Takes(CMSUP_HANDLE handle) {
    return handle == kInterfaceHandle && SimCardState::Instance().Ready();
}

int SetField(const char* op, CMSUP_HANDLE handle, int field, int32_t value) {
    SimCardState& card = SimCardState::Instance();
    const bool ok = Takes(handle);
    card.Record(op, handle, {value}, !ok);
    if (!ok) return 0;
    card.Set(field, value);
    return 1;
}

int GetField(const char* op, CMSUP_HANDLE handle, int field, int32_t* out) {
    SimCardState& card = SimCardState::Instance();
    const bool ok = out && Takes(handle);
    const int32_t value = ok ? card.Get(field) : 0;
    if (out) *out = value;
    card.Record(op, handle, {value}, !ok);
    return ok ? 1 : 0;
}

}  // namespace

extern "C" {

int CMSUP_GetInterface(CMSUP_HANDLE* handle) {
    SimCardState& card = SimCardState::Instance();
    const bool available = card.Get(simcard::kNullInterface) == 0 && card.Ready();
    const CMSUP_HANDLE value = available ? kInterfaceHandle : nullptr;
    if (handle) *handle = value;
    card.Record("CMSUP_GetInterface", value, {}, !(available && handle));
    return (available && handle) ? 1 : 0;
}

int CMSUP_SetSpdifStatus(CMSUP_HANDLE handle, int32_t status) {
    return SetField("CMSUP_SetSpdifStatus", handle, simcard::kSpdifStatus, status);
}

int CMSUP_SetEQStatus(CMSUP_HANDLE handle, int32_t on) {
    return SetField("CMSUP_SetEQStatus", handle, simcard::kEqStatus, on);
}

int CMSUP_SetEQMode(CMSUP_HANDLE handle, int32_t preset) {
    return SetField("CMSUP_SetEQMode", handle, simcard::kEqMode, preset);
}

int CMSUP_SetEQGain(CMSUP_HANDLE handle, const int32_t* gains) {
    SimCardState& card = SimCardState::Instance();
    if (!gains) {
        card.Record("CMSUP_SetEQGain", handle, {}, true);
        return 0;
    }
    const bool ok = Takes(handle);
    card.Record("CMSUP_SetEQGain", handle,
                {gains[0], gains[1], gains[2], gains[3], gains[4], gains[5], gains[6], gains[7],
                 gains[8], gains[9]},
                !ok);
    if (!ok) return 0;
    for (int band = 0; band < 10; ++band) card.Set(simcard::kEqGain0 + band, gains[band]);
    return 1;
}

int CMSUP_SetEnvMode(CMSUP_HANDLE handle, int32_t code) {
    return SetField("CMSUP_SetEnvMode", handle, simcard::kEnvMode, code);
}

int CMSUP_SetRoomSize(CMSUP_HANDLE handle, int32_t size) {
    return SetField("CMSUP_SetRoomSize", handle, simcard::kRoomSize, size);
}

int CMSUP_SetImpedanceMode(CMSUP_HANDLE handle, int32_t mode) {
    return SetField("CMSUP_SetImpedanceMode", handle, simcard::kImpedanceMode, mode);
}

int CMSUP_GetImpedanceMode(CMSUP_HANDLE handle, int32_t* mode) {
    return GetField("CMSUP_GetImpedanceMode", handle, simcard::kImpedanceMode, mode);
}

// The second argument selects the speaker pair; only pair 0 exists.
int CMSUP_SetLargeSpeakers(CMSUP_HANDLE handle, int32_t zero, int32_t state) {
    SimCardState& card = SimCardState::Instance();
    const bool ok = Takes(handle) && zero == 0;
    card.Record("CMSUP_SetLargeSpeakers", handle, {zero, state}, !ok);
    if (!ok) return 0;
    card.Set(simcard::kLargeSpeakers, state);
    return 1;
}

int CMSUP_GetLargeSpeakers(CMSUP_HANDLE handle, int32_t zero, int32_t* state) {
    SimCardState& card = SimCardState::Instance();
    const bool ok = zero == 0 && state && Takes(handle);
    const int32_t value = ok ? card.Get(simcard::kLargeSpeakers) : 0;
    if (state) *state = value;
    card.Record("CMSUP_GetLargeSpeakers", handle, {zero, value}, !ok);
    return ok ? 1 : 0;
}

int CMSUP_SetFlexBassState(CMSUP_HANDLE handle, int32_t state) {
    return SetField("CMSUP_SetFlexBassState", handle, simcard::kFlexBass, state);
}

int CMSUP_GetFlexBassState(CMSUP_HANDLE handle, int32_t* state) {
    return GetField("CMSUP_GetFlexBassState", handle, simcard::kFlexBass, state);
}

int CMSUP_SetCrossOverFrequency(CMSUP_HANDLE handle, int32_t hertz) {
    return SetField("CMSUP_SetCrossOverFrequency", handle, simcard::kCrossover, hertz);
}

int CMSUP_GetCrossOverFrequency(CMSUP_HANDLE handle, int32_t* hertz) {
    return GetField("CMSUP_GetCrossOverFrequency", handle, simcard::kCrossover, hertz);
}

int CMSUP_SetSpkData(CMSUP_HANDLE handle, int32_t value) {
    return SetField("CMSUP_SetSpkData", handle, simcard::kSpkData, value);
}

int CMSUP_GetSpkData(CMSUP_HANDLE handle, int32_t* value) {
    return GetField("CMSUP_GetSpkData", handle, simcard::kSpkData, value);
}

// Control surface for tests and tools.

void SimCard_Reset(void) { SimCardState::Instance().Reset(); }

int SimCard_Set(const char* field, int32_t value) {
    const int f = simcard::FieldByName(field);
    if (f < 0) return 0;
    SimCardState::Instance().Set(f, value);
    return 1;
}

int SimCard_Get(const char* field, int32_t* value) {
    const int f = simcard::FieldByName(field);
    if (f < 0 || !value) return 0;
    *value = SimCardState::Instance().Get(f);
    return 1;
}

int32_t SimCard_JournalCount(void) { return SimCardState::Instance().JournalCount(); }

int SimCard_JournalEntry(int32_t index, SimCardCall* out) {
    return SimCardState::Instance().JournalEntry(index, out) ? 1 : 0;
}

void SimCard_JournalClear(void) { SimCardState::Instance().JournalClear(); }

void SimCard_PowerLoss(int32_t notReadyMs) { SimCardState::Instance().PowerLoss(notReadyMs); }

void SimCard_SetNotReady(int32_t ms) { SimCardState::Instance().SetNotReady(ms); }

}  // extern "C"
