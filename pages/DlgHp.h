#pragma once
// The Hp page.
#include "SkinnedPage.h"
#include "resource.h"

class CDlgHp : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_HP };
    CDlgHp() : CSkinnedPage(IDD) {}

protected:
    BOOL OnInitDialog() override;
};
