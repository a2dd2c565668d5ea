#pragma once
// The Digital page.
#include "SkinnedPage.h"
#include "resource.h"

class CDlgDigital : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_DIGITAL };
    CDlgDigital() : CSkinnedPage(IDD) {}

protected:
    BOOL OnInitDialog() override;
};
