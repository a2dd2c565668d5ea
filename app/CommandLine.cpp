#include "CommandLine.h"

#include "Handles.h"
#include "PanelMessages.h"
#include "SettingsTransfer.h"
#include "TransferFiles.h"
#include "TransferOperations.h"
#include "TransferTexts.h"
#include "Utf8.h"

#include <windows.h>
#include <shellapi.h>

namespace commandline {

namespace {

using transfertexts::Say;
using transfertexts::Text;

enum class Verb { None, Export, Import, ImportEq, ExportEq };

Verb VerbOf(const std::wstring& argument)
{
    if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-'))
        return Verb::None;
    const std::wstring word = argument.substr(1);
    const auto is = [&](const wchar_t* name) {
        return ::CompareStringOrdinal(word.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
    };
    if (is(L"export"))
        return Verb::Export;
    if (is(L"import"))
        return Verb::Import;
    if (is(L"import-eq"))
        return Verb::ImportEq;
    if (is(L"export-eq"))
        return Verb::ExportEq;
    return Verb::None;
}

// The standard output or error as the starting program gave it: a console
// takes wide text, a pipe or a file UTF-8. A program started from a console
// without handles of its own writes to that console.
void Print(const std::wstring& text, bool error)
{
    HANDLE out = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS))
        out = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        return;
    std::wstring lines;
    for (wchar_t c : text + L"\n") {
        if (c == L'\n')
            lines += L'\r';
        lines += c;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(out, &mode)) {
        ::WriteConsoleW(out, lines.c_str(), static_cast<DWORD>(lines.size()), &written, nullptr);
        return;
    }
    const std::string bytes = utf8::Encode(lines);
    ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Finish(const transferops::Report& report)
{
    Print(report.text, !report.ok);
    return report.ok ? kDone : kRefused;
}

int Refuse(const std::wstring& text)
{
    Print(text, true);
    return kRefused;
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD got = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (got == 0 || got >= needed)
        return path;
    full.resize(got);
    return full;
}

// The file name of a process's program ("Zephrin.exe"); empty when unknown.
std::wstring ProgramName(DWORD pid)
{
    fw::UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    std::wstring path(MAX_PATH, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size))
        return {};
    path.resize(size);
    return transferfiles::FileName(path);
}

// An import went into the store: a running panel takes it now.
transferops::Report WithPanel(transferops::Report report, model::Language language)
{
    if (report.ok && TellRunningPanel())
        report.text += L" " + Say(Text::PanelTook, language);
    return report;
}

int ImportEqualizer(const std::wstring& path, const std::wstring* givenName, model::Language language)
{
    const transferops::CheckedCorrection checked = transferops::CheckEqualizerFile(path, language);
    if (!checked.ok)
        return Refuse(checked.refusal);
    const std::wstring name = presets::TrimSpaces(givenName ? *givenName : transferfiles::FileStem(path));
    switch (transferops::CheckNewPresetName(name)) {
    case presets::NameCheck::Duplicate:
        return Refuse(Say(Text::CliNameExists, language, {name}));
    case presets::NameCheck::Invalid:
        return Refuse(Say(Text::CliNameInvalid, language, {name}));
    case presets::NameCheck::Ok:
        break;
    }
    return Finish(WithPanel(transferops::SavePreset(name, checked.correction, path, language), language));
}

} // namespace

std::vector<std::wstring> Arguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!list)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(list[i]);
    ::LocalFree(list);
    return arguments;
}

bool IsOperation(const std::vector<std::wstring>& arguments)
{
    return !arguments.empty() && VerbOf(arguments[0]) != Verb::None;
}

int RunOperation(const std::vector<std::wstring>& arguments)
{
    const model::Language language = transferops::CurrentLanguage();
    const Verb verb = arguments.empty() ? Verb::None : VerbOf(arguments[0]);
    const size_t given = arguments.size() - 1;
    const bool fits = (verb == Verb::Export && given == 1) || (verb == Verb::Import && given == 1) ||
                      (verb == Verb::ImportEq && (given == 1 || given == 2)) ||
                      (verb == Verb::ExportEq && given == 2);
    if (!fits) {
        Print(Say(Text::CliUsage, language), true);
        return kWrongArguments;
    }
    switch (verb) {
    case Verb::Export:
        return Finish(transferops::ExportSettings(FullPath(arguments[1]), language));
    case Verb::Import: {
        const std::wstring path = FullPath(arguments[1]);
        const transferops::CheckedSettings checked = transferops::CheckSettingsFile(path, language);
        if (!checked.ok)
            return Refuse(checked.refusal);
        // A script restores what the file holds: presets of the same name give way.
        const transferops::Report report =
            transferops::ImportSettings(checked, settingstransfer::ExistingPresets::Replace, path);
        return Finish(WithPanel(report, transferops::CurrentLanguage()));
    }
    case Verb::ImportEq:
        return ImportEqualizer(FullPath(arguments[1]), given == 2 ? &arguments[2] : nullptr, language);
    case Verb::ExportEq:
        return Finish(transferops::ExportPreset(arguments[1], FullPath(arguments[2]), language));
    case Verb::None:
        break;
    }
    return kWrongArguments;
}

bool TellRunningPanel()
{
    const UINT message = ::RegisterWindowMessageW(kSettingsChangedMessageName);
    if (message == 0)
        return false;
    // The panel's main dialog: a top-level dialog without an owner in another
    // process of this program; it alone knows the message and answers with
    // the reply.
    struct Search {
        UINT message;
        std::wstring program;
        bool answered;
    } search{message, ProgramName(::GetCurrentProcessId()), false};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t className[16] = {};
            DWORD pid = 0;
            ::GetWindowThreadProcessId(wnd, &pid);
            if (::GetClassNameW(wnd, className, 16) == 0 || std::wstring(className) != L"#32770" ||
                ::GetWindow(wnd, GW_OWNER) != nullptr || pid == ::GetCurrentProcessId() ||
                ::CompareStringOrdinal(ProgramName(pid).c_str(), -1, s->program.c_str(), -1, TRUE) != CSTR_EQUAL)
                return TRUE;
            DWORD_PTR reply = 0;
            if (::SendMessageTimeoutW(wnd, s->message, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 10000, &reply) &&
                static_cast<LRESULT>(reply) == kSettingsChangedReply)
                s->answered = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.answered;
}

} // namespace commandline
