#pragma once
// The Digital page: the card's digital (S/PDIF) output on or off and one of
// four rate positions, kept as DigitalOutSr in the Digital subkey.
#include "PageColumn.h"
#include "SkinnedPage.h"
#include "resource.h"

class CDlgDigital : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_DIGITAL };
    CDlgDigital() : CSkinnedPage(IDD) {}

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool OnCommand(UINT id);
    LRESULT OnSetLanguage(LPARAM language);

    CPageColumn m_pageColumn;
};
