#include "Log.h"

#include <shlobj.h>

#include <cwchar>

namespace diag {

namespace {

// The machine's program-data folder as the shell names it (not from the
// environment, which the user starting an elevated program controls).
struct Folder {
    wchar_t path[CLogFile::kMaxPath] = {};
    Folder()
    {
        PWSTR programData = nullptr;
        if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData)) && programData) {
            if (std::swprintf(path, CLogFile::kMaxPath, L"%ls\\Zephrin", programData) < 0)
                path[0] = L'\0';
        }
        ::CoTaskMemFree(programData);
    }
};

} // namespace

const wchar_t* DiagnosticsFolder()
{
    static const Folder folder;
    return folder.path;
}

const CLogFile& PanelLog()
{
    static const CLogFile log(DiagnosticsFolder(), L"Zephrin", kLogLimitBytes);
    return log;
}

void LogLine(const wchar_t* text)
{
    PanelLog().Append(text);
}

void LogLine(const std::wstring& text)
{
    PanelLog().Append(text.c_str());
}

} // namespace diag
