#pragma once
// The Hifi page.
#include "PageColumn.h"
#include "SkinnedPage.h"
#include "resource.h"

class CDlgHifi : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_HIFI };
    CDlgHifi() : CSkinnedPage(IDD) {}

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool OnCommand(UINT id, UINT code);
    LRESULT OnSetLanguage(LPARAM language);

    CPageColumn m_pageColumn;
};
