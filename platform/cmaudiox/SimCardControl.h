#pragma once
// Control surface of the simulated card inside CmAudioX.dll, for tests and
// tools only (the panel never calls it). The card's state and the journal of
// every CMSUP_ call live in a file beside the DLL, so they outlive any process
// and are shared by all processes that load the DLL.
//
// Fields (state defaults in brackets, set by SimCard_Reset):
//   spdifStatus [0, digital output off]   eqStatus [0]   eqMode [0]
//   eqGain0 .. eqGain9 [0 dB each]        envMode [28, no environment]
//   roomSize [0]   impedanceMode [0]   largeSpeakers [0]   flexBass [0]
//   crossover [80 Hz]   spkData [0x140004, speakers]
//   nullInterface [0; 1 makes CMSUP_GetInterface leave a null handle]
//
// Answers: a call the card carries out answers 1; a refused call answers 0
// (a Get then writes 0). The card refuses a handle it did not hand out, a
// null pointer, and every call while it is not ready: for the time given to
// SimCard_PowerLoss or SimCard_SetNotReady (a card coming back from a sleep
// or a driver restart). CMSUP_GetInterface then leaves a null handle.
//
// Journal: one record per CMSUP_ call, in call order, refused calls included
// (marked). args are the arguments after the handle (the ten gains of
// CMSUP_SetEQGain expanded; for a Get the value written, e.g.
// GetLargeSpeakers: 0, value). A power loss is a record of its own,
// "SimCard_PowerLoss" with the not-ready time as its argument.
// It holds the latest SIMCARD_JOURNAL_CAPACITY calls: when full, the oldest
// record is dropped, so index 0 is always the oldest call still held.
#include <stdint.h>

#ifdef CMAUDIOX_BUILDING
#define SIMCARD_API __declspec(dllexport)
#else
#define SIMCARD_API __declspec(dllimport)
#endif

#define SIMCARD_MAX_ARGS 12
#define SIMCARD_JOURNAL_CAPACITY 4096

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SimCardCall {
    char op[40];
    int32_t argCount;
    int64_t handle;
    int32_t args[SIMCARD_MAX_ARGS];
    int32_t refused; // 1 when the card refused the call
} SimCardCall;

SIMCARD_API void SimCard_Reset(void);                               // defaults, empty journal
SIMCARD_API int SimCard_Set(const char* field, int32_t value);      // preset state; 1 if the field is known
SIMCARD_API int SimCard_Get(const char* field, int32_t* value);     // read state; 1 if known
SIMCARD_API int32_t SimCard_JournalCount(void);
SIMCARD_API int SimCard_JournalEntry(int32_t index, SimCardCall* out); // 1 if index valid
SIMCARD_API void SimCard_JournalClear(void);
// The card loses its power: every field but nullInterface returns to its
// power-on default (as after SimCard_Reset; the journal is kept and records
// the loss), and the card refuses every call for notReadyMs milliseconds.
SIMCARD_API void SimCard_PowerLoss(int32_t notReadyMs);
// The card refuses every call for the next ms milliseconds (0: ready now),
// its state kept.
SIMCARD_API void SimCard_SetNotReady(int32_t ms);

#ifdef __cplusplus
}
#endif
