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
// Journal: one record per CMSUP_ call, in call order, failed calls included.
// args are the arguments after the handle (the ten gains of CMSUP_SetEQGain
// expanded; for a Get the value written, e.g. GetLargeSpeakers: 0, value).
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
} SimCardCall;

SIMCARD_API void SimCard_Reset(void);                               // defaults, empty journal
SIMCARD_API int SimCard_Set(const char* field, int32_t value);      // preset state; 1 if the field is known
SIMCARD_API int SimCard_Get(const char* field, int32_t* value);     // read state; 1 if known
SIMCARD_API int32_t SimCard_JournalCount(void);
SIMCARD_API int SimCard_JournalEntry(int32_t index, SimCardCall* out); // 1 if index valid
SIMCARD_API void SimCard_JournalClear(void);

#ifdef __cplusplus
}
#endif
