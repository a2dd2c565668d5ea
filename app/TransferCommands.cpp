// The settings and equalizer files from the tray menu and the Hifi page, and
// the panel taking settings that changed in the store under it.
#include "EqImportDlg.h"
#include "FileDialogs.h"
#include "Settings.h"
#include "TransferFiles.h"
#include "TransferOperations.h"
#include "TransferTexts.h"
#include "ZephrinDlg.h"

using transfertexts::Say;
using transfertexts::Text;

namespace {

// How many existing names the replace-or-skip question lists.
constexpr size_t kNamesShown = 10;

std::vector<filedialogs::Filter> Filters(Text kind, model::Language language)
{
    return {{Say(kind, language), L"*.txt"}, {Say(Text::FilterAll, language), L"*.*"}};
}

// Marks a file operation open for its lifetime: its menu entries are grey
// and a second one does not start while its dialogs are up.
class OpenOperation {
public:
    explicit OpenOperation(bool& open) : m_open(open), m_started(!open) { m_open = true; }
    ~OpenOperation()
    {
        if (m_started)
            m_open = false;
    }
    OpenOperation(const OpenOperation&) = delete;
    OpenOperation& operator=(const OpenOperation&) = delete;
    bool Started() const { return m_started; }

private:
    bool& m_open;
    bool m_started;
};

} // namespace

UINT CZephrinDlg::SettingsChangedMessage()
{
    static const UINT message = ::RegisterWindowMessageW(kSettingsChangedMessageName);
    return message;
}

void CZephrinDlg::AcceptSettingsChangedMessage()
{
    // The panel runs elevated, where messages from programs of a lower
    // integrity level are filtered out. Reading the settings again is all
    // this message asks, so it is let through.
    const UINT message = SettingsChangedMessage();
    if (message != 0)
        ::ChangeWindowMessageFilterEx(m_hWnd, message, MSGFLT_ALLOW, nullptr);
}

void CZephrinDlg::ReloadSettings()
{
    if (!m_pagesCreated)
        return;
    // The pages and the card as after a resume: tried again while the card
    // refuses, and the outcome logged.
    ReapplyCardSettings(L"after an import");
    SendMessage(WM_SET_LANGUAGE, 0, settings::Read(settings::kLanguage));
}

HWND CZephrinDlg::DialogOwner()
{
    // The page in view, so it cannot be used while the dialog is open.
    CSkinnedPage* page = GetPageWindow(m_currentPage);
    return page && page->m_hWnd && page->IsWindowVisible() ? page->m_hWnd : m_hWnd;
}

void CZephrinDlg::OnExportSettings()
{
    OpenOperation operation(m_fileOperationOpen);
    if (!operation.Started())
        return;
    const model::Language language = transferops::CurrentLanguage();
    const std::wstring title = Say(Text::TitleExportSettings, language);
    const std::wstring path = filedialogs::AskSave(DialogOwner(), title, Filters(Text::FilterSettings, language),
                                                   Say(Text::DefaultSettingsFile, language), L"txt");
    if (path.empty())
        return;
    const transferops::Report report = transferops::ExportSettings(path, language);
    ::MessageBoxW(DialogOwner(), report.text.c_str(), title.c_str(),
                  MB_OK | (report.ok ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void CZephrinDlg::OnImportSettings()
{
    OpenOperation operation(m_fileOperationOpen);
    if (!operation.Started())
        return;
    const model::Language language = transferops::CurrentLanguage();
    const std::wstring title = Say(Text::TitleImportSettings, language);
    const std::wstring path = filedialogs::AskOpen(DialogOwner(), title, Filters(Text::FilterSettings, language));
    if (path.empty())
        return;
    const transferops::CheckedSettings checked = transferops::CheckSettingsFile(path, language);
    if (!checked.ok) {
        ::MessageBoxW(DialogOwner(), checked.refusal.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    // One question for all the presets whose names exist.
    auto existing = settingstransfer::ExistingPresets::Replace;
    const std::vector<std::wstring> names = settingstransfer::PresetsAlreadyStored(checked.contents);
    if (!names.empty()) {
        std::wstring list;
        for (size_t i = 0; i < names.size() && i < kNamesShown; ++i)
            list += (i ? L"\n" : L"") + names[i];
        if (names.size() > kNamesShown)
            list += L"\n" + Say(Text::More, language, {std::to_wstring(names.size() - kNamesShown)});
        const int answer = ::MessageBoxW(DialogOwner(),
                                         Say(Text::AskReplace, language, {std::to_wstring(names.size()), list}).c_str(),
                                         title.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
        if (answer != IDYES && answer != IDNO)
            return;
        existing = answer == IDYES ? settingstransfer::ExistingPresets::Replace
                                   : settingstransfer::ExistingPresets::Skip;
    }
    const transferops::Report report = transferops::ImportSettings(checked, existing, path);
    // Every page, the card and the language, as if each change had been made here.
    ReloadSettings();
    // Worded in the language the import may just have brought.
    const std::wstring titleNow = Say(Text::TitleImportSettings, transferops::CurrentLanguage());
    ::MessageBoxW(DialogOwner(), report.text.c_str(), titleNow.c_str(),
                  MB_OK | (report.ok ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void CZephrinDlg::OnImportEqualizer()
{
    OpenOperation operation(m_fileOperationOpen);
    if (!operation.Started())
        return;
    const model::Language language = transferops::CurrentLanguage();
    const std::wstring title = Say(Text::TitleImportEqualizer, language);
    const std::wstring path = filedialogs::AskOpen(DialogOwner(), title, Filters(Text::FilterEqualizer, language));
    if (path.empty())
        return;
    const transferops::CheckedCorrection checked = transferops::CheckEqualizerFile(path, language);
    if (!checked.ok) {
        ::MessageBoxW(DialogOwner(), checked.refusal.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    CEqImportDlg dialog(DialogOwner(), language, path, presets::TrimSpaces(transferfiles::FileStem(path)),
                        checked.correction);
    if (dialog.DoModal() != IDOK)
        return;
    const transferops::Report report = transferops::SavePreset(dialog.Name(), checked.correction, path, language);
    ReloadSettings(); // the Hifi page lists the new preset
    const std::wstring text = report.ok ? Say(Text::EqSaved, language, {dialog.Name()}) : report.text;
    ::MessageBoxW(DialogOwner(), text.c_str(), title.c_str(),
                  MB_OK | (report.ok ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void CZephrinDlg::OnExportPreset()
{
    OpenOperation operation(m_fileOperationOpen);
    if (!operation.Started())
        return;
    const std::wstring name = m_dlgHifi.ChosenPreset();
    if (name.empty())
        return;
    const model::Language language = transferops::CurrentLanguage();
    const std::wstring title = Say(Text::TitleExportPreset, language);
    const std::wstring path = filedialogs::AskSave(DialogOwner(), title, Filters(Text::FilterEqualizer, language),
                                                   name + L".txt", L"txt");
    if (path.empty())
        return;
    const transferops::Report report = transferops::ExportPreset(name, path, language);
    ::MessageBoxW(DialogOwner(), report.text.c_str(), title.c_str(),
                  MB_OK | (report.ok ? MB_ICONINFORMATION : MB_ICONWARNING));
}
