#include "EqImportDlg.h"

#include "HifiModel.h"
#include "TransferOperations.h"
#include "TransferTexts.h"

using transfertexts::Say;
using transfertexts::Text;

CEqImportDlg::CEqImportDlg(HWND owner, model::Language language, std::wstring path, std::wstring name,
                           const eqfile::Correction& correction)
    : CDialog(IDD, owner), m_language(language), m_path(std::move(path)), m_name(std::move(name)),
      m_correction(correction)
{
}

BOOL CEqImportDlg::OnInitDialog()
{
    SetWindowText(Say(Text::TitleImportEqualizer, m_language));
    ::SetDlgItemTextW(m_hWnd, IDC_EQ_FILE_LABEL, Say(Text::EqFileLabel, m_language).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_EQ_FILE, m_path.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_EQ_NAME_LABEL, Say(Text::EqNameLabel, m_language).c_str());
    ::SetDlgItemTextW(m_hWnd, IDOK, Say(Text::EqSave, m_language).c_str());
    ::SetDlgItemTextW(m_hWnd, IDCANCEL, Say(Text::Cancel, m_language).c_str());

    std::wstring report = transfertexts::DescribeCorrection(m_correction, m_language) + L"\n\n" +
                          transfertexts::DescribeBands(m_correction, m_language);
    if (m_correction.skippedCount > 0)
        report += L"\n\n" + Say(Text::EqSkippedHeading, m_language) + L"\n" +
                  transfertexts::DescribeSkipped(m_correction, m_language, m_correction.skipped.size());
    // A multi-line edit box breaks lines at CR LF.
    std::wstring lines;
    for (wchar_t c : report) {
        if (c == L'\n')
            lines += L'\r';
        lines += c;
    }
    ::SetDlgItemTextW(m_hWnd, IDC_EQ_REPORT, lines.c_str());

    HWND name = GetDlgItem(IDC_EQ_NAME);
    ::SendMessageW(name, EM_LIMITTEXT, presets::kNameLimit + 32, 0);
    ::SetWindowTextW(name, m_name.c_str());
    ::SendMessageW(name, EM_SETSEL, 0, -1);
    ::SetFocus(name);
    return FALSE; // the focus is set
}

void CEqImportDlg::OnOK()
{
    wchar_t text[presets::kNameLimit + 64] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_EQ_NAME, text, static_cast<int>(std::size(text)));
    const std::wstring name = presets::TrimSpaces(text);
    const presets::NameCheck check = transferops::CheckNewPresetName(name);
    if (check != presets::NameCheck::Ok) {
        // The Hifi page's own warnings, in the same language as the rest.
        const hifi::Warning warning = hifi::PresetWarning(check, m_language);
        ::MessageBoxW(m_hWnd, warning.text, warning.caption, MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(GetDlgItem(IDC_EQ_NAME));
        return;
    }
    m_name = name;
    EndDialog(IDOK);
}
