#pragma once
// Vek_GetDxVerDll.dll: the highest Direct3D generation the system provides,
// as an integer (12, 11, 10, 9, 8 or 7), 0 when the system has none.
#ifdef VEK_GETDXVER_BUILDING
#define VEK_GETDXVER_API __declspec(dllexport)
#else
#define VEK_GETDXVER_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

VEK_GETDXVER_API int Vek_GetDxVer(void);

#ifdef __cplusplus
}
#endif
