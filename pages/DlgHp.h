#pragma once
// The Hp page: the card's speaker and headphone options (crossover frequency,
// large speakers, headphone impedance, flex bass), read from the card once at
// start and changed on it at once. Nothing of it is stored by the panel.
#include "PageColumn.h"
#include "SkinnedPage.h"
#include "resource.h"

class CDlgHp : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_HP };
    CDlgHp() : CSkinnedPage(IDD) {}

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool OnCommand(UINT id);
    LRESULT OnSetLanguage(LPARAM language);

    CPageColumn m_pageColumn;
};
