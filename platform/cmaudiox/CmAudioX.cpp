// Placeholder card library: accepts every call.
#define CMAUDIOX_BUILDING
#include "CmAudioX.h"

extern "C" {
int CMSUP_GetInterface(CMSUP_HANDLE* handle) { if (handle) *handle = reinterpret_cast<CMSUP_HANDLE>(0x1000); return 1; }
int CMSUP_SetSpdifStatus(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_SetEQStatus(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_SetEQMode(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_SetEQGain(CMSUP_HANDLE, const int32_t*) { return 1; }
int CMSUP_SetEnvMode(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_SetRoomSize(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_SetImpedanceMode(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_GetImpedanceMode(CMSUP_HANDLE, int32_t* v) { if (v) *v = 0; return 1; }
int CMSUP_SetLargeSpeakers(CMSUP_HANDLE, int32_t, int32_t) { return 1; }
int CMSUP_GetLargeSpeakers(CMSUP_HANDLE, int32_t, int32_t* v) { if (v) *v = 0; return 1; }
int CMSUP_SetFlexBassState(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_GetFlexBassState(CMSUP_HANDLE, int32_t* v) { if (v) *v = 0; return 1; }
int CMSUP_SetCrossOverFrequency(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_GetCrossOverFrequency(CMSUP_HANDLE, int32_t* v) { if (v) *v = 80; return 1; }
int CMSUP_SetSpkData(CMSUP_HANDLE, int32_t) { return 1; }
int CMSUP_GetSpkData(CMSUP_HANDLE, int32_t* v) { if (v) *v = 1; return 1; }
}
