#pragma once
// Resource figures of a running process, read from outside: its working set,
// its handle count and its live GDI objects. Windows answers the GDI count
// with GetGuiResources; Wine answers 0 there, so the count is taken from the
// process's GDI handle table, which the process environment block points to
// (a slot is in use when its object type is not zero). The handle count
// comes from the system's list of handles, as GetProcessHandleCount answers 0
// there as well.
#include <windows.h>

#include <cstddef>

struct ProcessFigures {
    SIZE_T workingSet = 0;
    long handles = -1; // -1 when the count could not be read
    int gdiObjects = -1; // -1 when the table could not be read
};

ProcessFigures ReadProcessFigures(HANDLE process);
// Open handles of `process`, from the system's handle list; -1 when unreadable.
long CountHandlesOf(HANDLE process);
// Live GDI objects of `process` by its handle table; -1 when unreadable.
int CountGdiObjectsOf(HANDLE process);
// The check of the table reading on this process: every handle value probed
// with GetObjectType must be listed in the table. The table also lists a few
// objects the system keeps for itself (window surfaces, its default font),
// which the probe does not see.
struct GdiTableCheck {
    bool readable = false;
    int probed = 0;
    int listed = 0;
    int probedOnly = 0;
};
GdiTableCheck CheckGdiTableOnSelf();
