#pragma once
// The Hifi page.
#include "SkinnedPage.h"
#include "resource.h"

class CDlgHifi : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_HIFI };
    CDlgHifi() : CSkinnedPage(IDD) {}

protected:
    BOOL OnInitDialog() override;
};
