#include "DlgHp.h"

namespace {
// Backgrounds by language number: Traditional, Simplified, English.
constexpr UINT kBackgrounds[3] = {IDB_HP_BG_TC, IDB_HP_BG_SC, IDB_HP_BG_EN};
constexpr int kPageNumber = 4;
} // namespace

BOOL CDlgHp::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    m_pageColumn.Bind(*this, kPageNumber);
    SetBackgroundId(IDB_HP_BG_SC);
    ApplySkin(*this);
    m_pageColumn.Setup();
    return TRUE;
}

BOOL CDlgHp::PreTranslateMessage(MSG* msg)
{
    // No key reaches the page or its controls: Enter and Escape never close it
    // and the crossover slider cannot be moved with the keyboard.
    return msg->message == WM_KEYDOWN;
}

bool CDlgHp::OnCommand(UINT id)
{
    return m_pageColumn.OnCommand(id);
}

LRESULT CDlgHp::OnSetLanguage(LPARAM language)
{
    // Unknown language numbers leave the page as it is, without a repaint.
    ApplyLanguageSkin(*this, language, kBackgrounds, false);
    return 0;
}

LRESULT CDlgHp::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
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
