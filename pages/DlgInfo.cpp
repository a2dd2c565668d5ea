#include "DlgInfo.h"

BOOL CDlgInfo::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    return TRUE;
}
