#pragma once
// The equalizer import dialog: what a shared correction file gives the card's
// ten bands (the clamped ones marked), the lines it skipped, and the name the
// new preset is saved under, which the person may change. Save checks the
// name by the rules of the Hifi page's "+" and keeps the dialog open with the
// page's warning when it fails.
#include "Dialog.h"
#include "EqFiles.h"
#include "resource.h"

#include <iterator>
#include <string>

class CEqImportDlg : public CDialog {
public:
    enum { IDD = IDD_EQ_IMPORT };
    CEqImportDlg(HWND owner, model::Language language, std::wstring path, std::wstring name,
                 const eqfile::Correction& correction);

    // The name the preset is to be saved under (trimmed), once Save was pressed.
    const std::wstring& Name() const { return m_name; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    model::Language m_language;
    std::wstring m_path;
    std::wstring m_name;
    const eqfile::Correction& m_correction;
};
