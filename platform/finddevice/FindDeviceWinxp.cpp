// Placeholder device lookup: reports the card present.
#define FINDDEVICE_BUILDING
#include "FindDeviceWinxp.h"

extern "C" {
BOOL FindDevByDeviceDesc(const wchar_t*) { return TRUE; }
BOOL FindDevByDeviceInstanceId(const wchar_t*) { return TRUE; }
}
