#pragma once
// The Info page: the versions of the system, the driver, the panel and
// DirectX, the product's title and copyright, and the maker's address, which
// opens in the default browser when clicked.
#include "PageColumn.h"
#include "SkinnedPage.h"
#include "resource.h"

class CDlgInfo : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_INFO };
    CDlgInfo() : CSkinnedPage(IDD) {}

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool OnCommand(UINT id);
    LRESULT OnSetLanguage(LPARAM language);

    CPageColumn m_pageColumn;
};
