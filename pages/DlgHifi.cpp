#include "DlgHifi.h"

BOOL CDlgHifi::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    return TRUE;
}
