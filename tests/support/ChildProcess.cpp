#include "ChildProcess.h"
#include "TestSupport.h"

#include <windows.h>

#include <algorithm>
#include <string>

ChildResult RunBinProgram(const std::wstring& program, const std::wstring& arguments)
{
    ChildResult result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return result;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::wstring path = testsupport::ProgramFolder() + L"\\" + program;
    std::wstring commandLine = L"\"" + path + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    result.started = ::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, &process) != FALSE;
    ::CloseHandle(writeEnd);
    if (result.started) {
        // Reads while the program runs; a program that has not ended after
        // the time allowed is ended, so a stalled start cannot hold the test.
        ULONGLONG deadline = ::GetTickCount64() + 20000;
        bool running = true;
        for (;;) {
            DWORD waiting = 0;
            if (!::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr))
                break; // the program and its handles are gone
            if (waiting > 0) {
                char buffer[4096];
                DWORD got = 0;
                if (!::ReadFile(readEnd, buffer, std::min<DWORD>(waiting, sizeof buffer), &got, nullptr))
                    break;
                result.output.append(buffer, got);
                continue;
            }
            if (running && ::WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) {
                // What is left in the pipe is read until it breaks, or for a
                // while when a program it started still holds it.
                running = false;
                deadline = ::GetTickCount64() + 2000;
                continue;
            }
            if (!running && ::GetTickCount64() > deadline)
                break;
            if (!running)
                ::Sleep(1);
            if (running && ::GetTickCount64() > deadline) {
                ::TerminateProcess(process.hProcess, 99);
                result.output += "\n[ended after 20 s]\n";
                running = false;
                deadline = ::GetTickCount64() + 2000;
            }
        }
        ::WaitForSingleObject(process.hProcess, 5000);
        ::GetExitCodeProcess(process.hProcess, &result.exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(readEnd);
    // Console output is text mode: compare lines without their carriage returns.
    std::erase(result.output, '\r');
    return result;
}
