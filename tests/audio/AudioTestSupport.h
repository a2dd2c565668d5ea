#pragma once
// Helpers for the audio tests: the simulated machine's endpoints, castool as
// "another program", and a window that records what the listeners post.
#include "StandInControl.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace audiotest {

constexpr wchar_t kSpeakers[] = L"Speakers";
constexpr wchar_t kCardOutput[] = L"VANTIR Digital Output (S/PDIF)";
constexpr wchar_t kMicrophone[] = L"Microphone";
constexpr wchar_t kPanelContext[] = L"{4FA3DCD0-3E1B-4BC3-3462-653037313036}";

// The identifier of the endpoint with this friendly name ("" when absent).
std::wstring IdOf(const std::wstring& name);
CasEndpointInfo InfoOf(const std::wstring& id);

struct ToolResult {
    DWORD exitCode = ~0u;
    std::string output;
};
// Runs castool.exe (beside the test program) with these arguments and waits.
ToolResult RunTool(const std::wstring& arguments);
std::wstring Quote(const std::wstring& text);

// A message-only window of this thread that records the listeners' messages.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND hwnd() const { return m_hwnd; }
    struct Entry {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    // Pumps until `count` messages arrived or the timeout passed.
    bool WaitForCount(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Pumps for a while, so that anything still on its way arrives.
    void Settle(std::chrono::milliseconds duration = std::chrono::milliseconds(400));
    const std::vector<Entry>& entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd = nullptr;
    std::vector<Entry> m_entries;
};

// The thread in the multithreaded apartment, as the panel's interface thread.
class MtaScope {
public:
    MtaScope() : m_hr(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~MtaScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    MtaScope(const MtaScope&) = delete;
    MtaScope& operator=(const MtaScope&) = delete;

private:
    HRESULT m_hr;
};

} // namespace audiotest
