#pragma once
// Helpers for the audio tests: the simulated machine's endpoints, castool as
// "another program", and a window that records what the listeners post.
#include "StandInControl.h"

#include <windows.h>
#include <endpointvolume.h>

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
    const std::vector<Entry>& entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }
    // Takes the first message `msg` out of the record; false when none came.
    bool Take(UINT msg);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd = nullptr;
    std::vector<Entry> m_entries;
};

// The proof that every notice published so far has been handled here. The
// stand-in hands a process its notices in order, on one thread; once a change
// made after them has been told to the fence's own listener (which posts to
// the recorder like the panel's listeners), everything the earlier notices
// made the panel's listeners post is in the record. The fence listens on an
// endpoint of its own, added on the first Pass: register the listeners under
// test first, so that they do not listen there.
class NoticeFence {
public:
    explicit NoticeFence(MessageRecorder& recorder) : m_recorder(recorder) {}
    ~NoticeFence() { Close(); }
    NoticeFence(const NoticeFence&) = delete;
    NoticeFence& operator=(const NoticeFence&) = delete;

    // Changes the fence endpoint's level and pumps until the fence's own
    // notice has arrived (and takes it out of the record).
    bool Pass(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Withdraws the fence's listener (the endpoint goes with the scenario).
    void Close();

    static constexpr UINT kMessage = WM_APP + 0x3F0;

private:
    bool Open();

    MessageRecorder& m_recorder;
    class Listener;
    IAudioEndpointVolume* m_volume = nullptr;
    Listener* m_listener = nullptr;
    float m_level = 0.25f;
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
