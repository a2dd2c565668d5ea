#pragma once
// The card vendor's control library CmAudioX.dll. Every operation but
// CMSUP_GetInterface takes the caller's interface handle first; every Get
// writes its out-parameter on every call. An operation the card carried out
// answers nonzero, a refused one 0. No caller looks at the answers: the
// library is fire-and-forget, except that a re-application of the card's
// settings counts the refusals through a CCardAnswerWatch.
//
// The library builds its exports from these declarations. The panel does not
// import it at load time (a damaged card software would stop the program in
// the system's loader): for the panel's code these are its own functions of
// the same names (CardLibrary.cpp), which load the library at run time and
// call each operation by its exported name.
#include <stdint.h>

#ifdef CMAUDIOX_BUILDING
#define CMAUDIOX_API __declspec(dllexport)
#else
#define CMAUDIOX_API
#endif

#if defined(__cplusplus) && defined(CMAUDIOX_BUILDING)
extern "C" {
#endif

typedef void* CMSUP_HANDLE;

// Fills *handle with the interface handle (callers set the slot to null first).
CMAUDIOX_API int CMSUP_GetInterface(CMSUP_HANDLE* handle);

// Digital (S/PDIF) output: 0 off; 2, 1, 0x40, 0x80 on at rate positions 1 to 4.
CMAUDIOX_API int CMSUP_SetSpdifStatus(CMSUP_HANDLE handle, int32_t status);

// Equalizer: on/off, built-in preset number, ten 16.16 fixed-point band gains
// (30, 60, 120, 250, 500, 1K, 2K, 4K, 8K, 16K Hz).
CMAUDIOX_API int CMSUP_SetEQStatus(CMSUP_HANDLE handle, int32_t on);
CMAUDIOX_API int CMSUP_SetEQMode(CMSUP_HANDLE handle, int32_t preset);
CMAUDIOX_API int CMSUP_SetEQGain(CMSUP_HANDLE handle, const int32_t* gains);

// Environment effect code (28 = none) and room size.
CMAUDIOX_API int CMSUP_SetEnvMode(CMSUP_HANDLE handle, int32_t code);
CMAUDIOX_API int CMSUP_SetRoomSize(CMSUP_HANDLE handle, int32_t size);

// Speaker and headphone options.
CMAUDIOX_API int CMSUP_SetImpedanceMode(CMSUP_HANDLE handle, int32_t mode);
CMAUDIOX_API int CMSUP_GetImpedanceMode(CMSUP_HANDLE handle, int32_t* mode);
CMAUDIOX_API int CMSUP_SetLargeSpeakers(CMSUP_HANDLE handle, int32_t zero, int32_t state);
CMAUDIOX_API int CMSUP_GetLargeSpeakers(CMSUP_HANDLE handle, int32_t zero, int32_t* state);
CMAUDIOX_API int CMSUP_SetFlexBassState(CMSUP_HANDLE handle, int32_t state);
CMAUDIOX_API int CMSUP_GetFlexBassState(CMSUP_HANDLE handle, int32_t* state);
CMAUDIOX_API int CMSUP_SetCrossOverFrequency(CMSUP_HANDLE handle, int32_t hertz);
CMAUDIOX_API int CMSUP_GetCrossOverFrequency(CMSUP_HANDLE handle, int32_t* hertz);

// Output routing: 1 headphones, 0x00140004 speakers (any value but 1 reads as speakers).
CMAUDIOX_API int CMSUP_SetSpkData(CMSUP_HANDLE handle, int32_t value);
CMAUDIOX_API int CMSUP_GetSpkData(CMSUP_HANDLE handle, int32_t* value);

#if defined(__cplusplus) && defined(CMAUDIOX_BUILDING)
}
#endif

#ifndef CMAUDIOX_BUILDING
// True when CmAudioX.dll was found in the program's folder or the system
// folder and exports every operation above (loaded on first use). Without it
// every operation does nothing and returns 0.
bool CardLibraryAvailable();
// Why the library counts as absent (missing, or the first operation it
// lacks), for the log; empty when it is available.
#include <string>
std::wstring CardLibraryProblem();
#endif
