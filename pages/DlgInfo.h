#pragma once
// The Info page.
#include "SkinnedPage.h"
#include "resource.h"

class CDlgInfo : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_INFO };
    CDlgInfo() : CSkinnedPage(IDD) {}

protected:
    BOOL OnInitDialog() override;
};
