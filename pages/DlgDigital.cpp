#include "DlgDigital.h"

namespace {
// Backgrounds by language number: Traditional, Simplified, English.
constexpr UINT kBackgrounds[3] = {IDB_DIGITAL_BG_TC, IDB_DIGITAL_BG_SC, IDB_DIGITAL_BG_EN};
constexpr int kPageNumber = 2;
} // namespace

BOOL CDlgDigital::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    m_pageColumn.Bind(*this, kPageNumber);
    SetBackgroundId(IDB_DIGITAL_BG_TC);
    ApplySkin(*this);
    m_pageColumn.Setup();
    return TRUE;
}

BOOL CDlgDigital::PreTranslateMessage(MSG* msg)
{
    // No key reaches the page or its controls: Enter and Escape never close it.
    return msg->message == WM_KEYDOWN;
}

bool CDlgDigital::OnCommand(UINT id)
{
    return m_pageColumn.OnCommand(id);
}

LRESULT CDlgDigital::OnSetLanguage(LPARAM language)
{
    ApplyLanguageSkin(*this, language, kBackgrounds);
    return 0;
}

LRESULT CDlgDigital::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
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
