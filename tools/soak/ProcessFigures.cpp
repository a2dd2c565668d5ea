#include "ProcessFigures.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace {

// One slot of the GDI handle table (the 64-bit layout).
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint8_t type;
    uint8_t flags;
    uint16_t padding;
    uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr size_t kGdiTableSlots = 0x10000;
// Where the 64-bit process environment block keeps the table's address.
constexpr size_t kPebGdiTableOffset = 0xF8;

// The system's list of open handles (the classic layout of class 16).
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};
constexpr ULONG kSystemHandleInformation = 16;

bool ReadRemote(HANDLE process, uintptr_t address, void* out, size_t size)
{
    SIZE_T got = 0;
    return ::ReadProcessMemory(process, reinterpret_cast<const void*>(address), out, size, &got) && got == size;
}

} // namespace

int CountGdiObjectsOf(HANDLE process)
{
    PROCESS_BASIC_INFORMATION info{};
    ULONG length = 0;
    if (::NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, &length) != 0)
        return -1;
    uint64_t table = 0;
    if (!ReadRemote(process, reinterpret_cast<uintptr_t>(info.PebBaseAddress) + kPebGdiTableOffset, &table,
                    sizeof table) ||
        table == 0)
        return -1;
    std::vector<GdiHandleEntry> entries(kGdiTableSlots);
    if (!ReadRemote(process, static_cast<uintptr_t>(table), entries.data(), entries.size() * sizeof(GdiHandleEntry)))
        return -1;
    int count = 0;
    for (const GdiHandleEntry& entry : entries) {
        if (entry.type != 0)
            ++count;
    }
    return count;
}

long CountHandlesOf(HANDLE process)
{
    // GetProcessHandleCount answers 0 under Wine; the system's handle list
    // carries every handle with its owner.
    const DWORD pid = ::GetProcessId(process);
    std::vector<BYTE> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = ::NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(kSystemHandleInformation),
                                                           buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<NTSTATUS>(0xC0000004L) && buffer.size() < (64u << 20)) { // length mismatch
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0)
            return -1;
        break;
    }
    const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < list->count; ++i) {
        if (list->entries[i].ownerPid == pid)
            ++count;
    }
    return count;
}

GdiTableCheck CheckGdiTableOnSelf()
{
    GdiTableCheck check;
    PROCESS_BASIC_INFORMATION info{};
    ULONG length = 0;
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, &length) != 0)
        return check;
    const auto* table =
        *reinterpret_cast<GdiHandleEntry* const*>(reinterpret_cast<const BYTE*>(info.PebBaseAddress) + kPebGdiTableOffset);
    if (!table)
        return check;
    check.readable = true;
    for (UINT_PTR i = 1; i < kGdiTableSlots; ++i) {
        const bool probed = ::GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
        const bool listed = table[i].type != 0;
        check.probed += probed;
        check.listed += listed;
        check.probedOnly += probed && !listed;
    }
    return check;
}

ProcessFigures ReadProcessFigures(HANDLE process)
{
    ProcessFigures figures;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(process, &counters, sizeof counters))
        figures.workingSet = counters.WorkingSetSize;
    figures.handles = CountHandlesOf(process);
    figures.gdiObjects = CountGdiObjectsOf(process);
    return figures;
}
