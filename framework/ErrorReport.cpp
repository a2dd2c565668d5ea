#include "ErrorReport.h"

#include <windows.h>

#include <atomic>

namespace fw {

namespace {

void ToDebugger(const wchar_t* text)
{
    ::OutputDebugStringW(text);
    ::OutputDebugStringW(L"\n");
}

std::atomic<void (*)(const wchar_t*)> g_reporter{&ToDebugger};

} // namespace

void ReportError(const wchar_t* text)
{
    g_reporter.load()(text ? text : L"");
}

void SetErrorReporter(void (*reporter)(const wchar_t* text))
{
    g_reporter.store(reporter ? reporter : &ToDebugger);
}

void ReportException(const std::wstring& where, const char* what)
{
    std::wstring explanation = L"(not a standard exception)";
    if (what) {
        // The explanation as the system's code page spells it.
        const int n = ::MultiByteToWideChar(CP_ACP, 0, what, -1, nullptr, 0);
        explanation.assign(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
        if (n > 0)
            ::MultiByteToWideChar(CP_ACP, 0, what, -1, explanation.data(), n);
        explanation.resize(explanation.size() - 1);
    }
    ReportError((L"Exception caught in " + where + L": " + explanation).c_str());
}

} // namespace fw
