#include "DlgHifi.h"

namespace {
constexpr int kHifiPageNumber = 1;
constexpr UINT kBackgrounds[3] = {IDB_HIFI_BG_TC, IDB_HIFI_BG_SC, IDB_HIFI_BG_EN};
} // namespace

BOOL CDlgHifi::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    m_pageColumn.Bind(*this, kHifiPageNumber);
    SetBackgroundId(IDB_HIFI_BG_TC);
    ApplySkin(*this);
    m_pageColumn.Setup();
    return TRUE;
}

BOOL CDlgHifi::PreTranslateMessage(MSG* msg)
{
    // Neither Return nor Escape may close the page.
    return msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE);
}

LRESULT CDlgHifi::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp)))
            return 0;
        break;
    case WM_SET_LANGUAGE:
        return OnSetLanguage(lp);
    default:
        break;
    }
    return CSkinnedPage::WindowProc(msg, wp, lp);
}

bool CDlgHifi::OnCommand(UINT id, UINT)
{
    return m_pageColumn.OnCommand(id);
}

LRESULT CDlgHifi::OnSetLanguage(LPARAM language)
{
    ApplyLanguageSkin(*this, language, kBackgrounds);
    return 0;
}
