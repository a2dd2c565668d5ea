#include "DlgDigital.h"

BOOL CDlgDigital::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    return TRUE;
}
