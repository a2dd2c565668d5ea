#pragma once
// The device lookup library FindDeviceWinxp.dll: is a device with this
// description, or with an instance identifier containing this fragment,
// installed? Both compare ignoring case.
#include <windows.h>

#ifdef FINDDEVICE_BUILDING
#define FINDDEVICE_API __declspec(dllexport)
#else
#define FINDDEVICE_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

FINDDEVICE_API BOOL FindDevByDeviceDesc(const wchar_t* description);
FINDDEVICE_API BOOL FindDevByDeviceInstanceId(const wchar_t* instanceIdFragment);

#ifdef __cplusplus
}
#endif
