#include "DlgInfo.h"

namespace {
// Backgrounds by language number: Traditional, Simplified, English.
constexpr UINT kBackgrounds[3] = {IDB_INFO_BG_TC, IDB_INFO_BG_SC, IDB_INFO_BG_EN};
constexpr int kPageNumber = 3;
} // namespace

BOOL CDlgInfo::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    m_pageColumn.Bind(*this, kPageNumber);
    SetBackgroundId(IDB_INFO_BG_TC);
    ApplySkin(*this);
    m_pageColumn.Setup();
    return TRUE;
}

bool CDlgInfo::OnCommand(UINT id)
{
    return m_pageColumn.OnCommand(id);
}

LRESULT CDlgInfo::OnSetLanguage(LPARAM language)
{
    ApplyLanguageSkin(*this, language, kBackgrounds);
    return 0;
}

LRESULT CDlgInfo::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp)))
            return 0;
        break;
    case WM_SET_LANGUAGE:
        return OnSetLanguage(lp);
    default:
        break;
    }
    return CSkinnedPage::WindowProc(msg, wp, lp);
}
