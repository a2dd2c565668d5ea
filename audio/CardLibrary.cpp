// The panel's side of CmAudioX.dll: the library is loaded at run time, only
// from the program's own folder or the system folder, and each operation is
// called through the address of its exported name. A library that is missing
// or lacks an operation counts as absent as a whole.
#include "CardAnswerWatch.h"
#include "CmAudioX.h"
#include "Handles.h"
#include "ProgramPath.h"

#include <windows.h>

#include <iterator>
#include <string>

namespace {

enum Operation {
    kGetInterface,
    kSetSpdifStatus,
    kSetEQStatus,
    kSetEQMode,
    kSetEQGain,
    kSetEnvMode,
    kSetRoomSize,
    kSetImpedanceMode,
    kGetImpedanceMode,
    kSetLargeSpeakers,
    kGetLargeSpeakers,
    kSetFlexBassState,
    kGetFlexBassState,
    kSetCrossOverFrequency,
    kGetCrossOverFrequency,
    kSetSpkData,
    kGetSpkData,
    kOperationCount
};

// The exported names, in the order of Operation.
constexpr const char* kExportNames[kOperationCount] = {
    "CMSUP_GetInterface",         "CMSUP_SetSpdifStatus",      "CMSUP_SetEQStatus",
    "CMSUP_SetEQMode",            "CMSUP_SetEQGain",           "CMSUP_SetEnvMode",
    "CMSUP_SetRoomSize",          "CMSUP_SetImpedanceMode",    "CMSUP_GetImpedanceMode",
    "CMSUP_SetLargeSpeakers",     "CMSUP_GetLargeSpeakers",    "CMSUP_SetFlexBassState",
    "CMSUP_GetFlexBassState",     "CMSUP_SetCrossOverFrequency", "CMSUP_GetCrossOverFrequency",
    "CMSUP_SetSpkData",           "CMSUP_GetSpkData",
};
static_assert(std::size(kExportNames) == kOperationCount);

const wchar_t kLibraryName[] = L"CmAudioX.dll";

std::wstring SystemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

class CardLibrary {
public:
    CardLibrary()
    {
        // By full path, from the program's folder, else the system folder;
        // never the current folder or the search path: an elevated program
        // must not pick up a library planted there.
        for (const std::wstring& folder : {fw::ProgramFolder(), SystemFolder()}) {
            if (folder.empty())
                continue;
            m_module.reset(::LoadLibraryExW((folder + L"\\" + kLibraryName).c_str(), nullptr, 0));
            if (m_module)
                break;
        }
        if (!m_module) {
            m_problem = std::wstring(kLibraryName) + L" was found neither beside the panel nor in the system folder";
            return;
        }
        for (int i = 0; i < kOperationCount; ++i) {
            m_operations[i] = ::GetProcAddress(m_module.get(), kExportNames[i]);
            if (!m_operations[i]) {
                const std::string missing = kExportNames[i];
                m_problem = std::wstring(kLibraryName) + L" lacks the operation " +
                            std::wstring(missing.begin(), missing.end());
                Unload();
                return;
            }
        }
    }
    ~CardLibrary() { Unload(); }
    CardLibrary(const CardLibrary&) = delete;
    CardLibrary& operator=(const CardLibrary&) = delete;

    bool Available() const { return static_cast<bool>(m_module); }
    const std::wstring& Problem() const { return m_problem; }
    FARPROC Operation(int op) const { return m_operations[op]; }

private:
    void Unload()
    {
        for (FARPROC& operation : m_operations)
            operation = nullptr;
        m_module.reset();
    }

    fw::UniqueModule m_module;
    FARPROC m_operations[kOperationCount] = {};
    std::wstring m_problem; // why the library counts as absent
};

const CardLibrary& Library()
{
    static const CardLibrary library;
    return library;
}

// Calls an operation with the signature Fn; 0 without the library. The
// answer goes to the watch that looks at the card's answers, if one does.
template <typename Fn, typename... Args>
int Call(Operation op, Args... args)
{
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(Library().Operation(op)));
    const int answer = fn ? fn(args...) : 0;
    CCardAnswerWatch::Note(kExportNames[op], answer);
    return answer;
}

using HandleOut = int (*)(CMSUP_HANDLE*);
using SetValue = int (*)(CMSUP_HANDLE, int32_t);
using GetValue = int (*)(CMSUP_HANDLE, int32_t*);
using SetGains = int (*)(CMSUP_HANDLE, const int32_t*);
using SetIndexed = int (*)(CMSUP_HANDLE, int32_t, int32_t);
using GetIndexed = int (*)(CMSUP_HANDLE, int32_t, int32_t*);

} // namespace

bool CardLibraryAvailable() { return Library().Available(); }
std::wstring CardLibraryProblem() { return Library().Problem(); }

int CMSUP_GetInterface(CMSUP_HANDLE* handle) { return Call<HandleOut>(kGetInterface, handle); }
int CMSUP_SetSpdifStatus(CMSUP_HANDLE handle, int32_t status) { return Call<SetValue>(kSetSpdifStatus, handle, status); }
int CMSUP_SetEQStatus(CMSUP_HANDLE handle, int32_t on) { return Call<SetValue>(kSetEQStatus, handle, on); }
int CMSUP_SetEQMode(CMSUP_HANDLE handle, int32_t preset) { return Call<SetValue>(kSetEQMode, handle, preset); }
int CMSUP_SetEQGain(CMSUP_HANDLE handle, const int32_t* gains) { return Call<SetGains>(kSetEQGain, handle, gains); }
int CMSUP_SetEnvMode(CMSUP_HANDLE handle, int32_t code) { return Call<SetValue>(kSetEnvMode, handle, code); }
int CMSUP_SetRoomSize(CMSUP_HANDLE handle, int32_t size) { return Call<SetValue>(kSetRoomSize, handle, size); }
int CMSUP_SetImpedanceMode(CMSUP_HANDLE handle, int32_t mode) { return Call<SetValue>(kSetImpedanceMode, handle, mode); }
int CMSUP_GetImpedanceMode(CMSUP_HANDLE handle, int32_t* mode) { return Call<GetValue>(kGetImpedanceMode, handle, mode); }
int CMSUP_SetLargeSpeakers(CMSUP_HANDLE handle, int32_t zero, int32_t state)
{
    return Call<SetIndexed>(kSetLargeSpeakers, handle, zero, state);
}
int CMSUP_GetLargeSpeakers(CMSUP_HANDLE handle, int32_t zero, int32_t* state)
{
    return Call<GetIndexed>(kGetLargeSpeakers, handle, zero, state);
}
int CMSUP_SetFlexBassState(CMSUP_HANDLE handle, int32_t state) { return Call<SetValue>(kSetFlexBassState, handle, state); }
int CMSUP_GetFlexBassState(CMSUP_HANDLE handle, int32_t* state) { return Call<GetValue>(kGetFlexBassState, handle, state); }
int CMSUP_SetCrossOverFrequency(CMSUP_HANDLE handle, int32_t hertz)
{
    return Call<SetValue>(kSetCrossOverFrequency, handle, hertz);
}
int CMSUP_GetCrossOverFrequency(CMSUP_HANDLE handle, int32_t* hertz)
{
    return Call<GetValue>(kGetCrossOverFrequency, handle, hertz);
}
int CMSUP_SetSpkData(CMSUP_HANDLE handle, int32_t value) { return Call<SetValue>(kSetSpkData, handle, value); }
int CMSUP_GetSpkData(CMSUP_HANDLE handle, int32_t* value) { return Call<GetValue>(kGetSpkData, handle, value); }
