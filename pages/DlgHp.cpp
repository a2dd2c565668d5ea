#include "DlgHp.h"

BOOL CDlgHp::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    return TRUE;
}
