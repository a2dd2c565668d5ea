#include "AudioTestSupport.h"

#include "TestSupport.h"

#include <objbase.h>

namespace audiotest {

std::wstring IdOf(const std::wstring& name)
{
    wchar_t id[80] = {};
    if (FAILED(CasFindEndpointByName(name.c_str(), id, 80)))
        return {};
    return id;
}

CasEndpointInfo InfoOf(const std::wstring& id)
{
    CasEndpointInfo info{};
    for (int i = 0, n = CasEndpointCount(); i < n; ++i)
        if (SUCCEEDED(CasGetEndpointInfo(i, &info)) && id == info.id)
            return info;
    return CasEndpointInfo{};
}

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

ToolResult RunTool(const std::wstring& arguments)
{
    ToolResult result;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return result;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = Quote(testsupport::ProgramFolder() + L"\\castool.exe") + L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                    &si, &pi);
    ::CloseHandle(writeEnd);
    if (started) {
        char buffer[512];
        DWORD got = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            result.output.append(buffer, got);
        ::WaitForSingleObject(pi.hProcess, 30000);
        ::GetExitCodeProcess(pi.hProcess, &result.exitCode);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(readEnd);
    return result;
}

MessageRecorder::MessageRecorder()
{
    static const wchar_t kClass[] = L"ZephrinAudioTestRecorder";
    WNDCLASSW wc{};
    wc.lpfnWndProc = &MessageRecorder::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageRecorder::~MessageRecorder()
{
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

LRESULT CALLBACK MessageRecorder::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<MessageRecorder*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg >= WM_USER) {
        self->m_entries.push_back({msg, wp, lp});
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

bool MessageRecorder::WaitForCount(size_t count, std::chrono::milliseconds timeout)
{
    return testsupport::PumpUntil([&] { return m_entries.size() >= count; }, timeout);
}

void MessageRecorder::Settle(std::chrono::milliseconds duration) { testsupport::PumpMessages(duration); }

} // namespace audiotest
