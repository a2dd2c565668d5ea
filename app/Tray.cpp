// The tray icon, its menu and the interface language.
#include "DisplayScale.h"
#include "ScaledIcon.h"
#include "Settings.h"
#include "TransferMenu.h"
#include "TransferOperations.h"
#include "ZephrinDlg.h"

#include <string>

namespace {
const wchar_t kTrayTip[] = L"Marvolin VANTIR";
constexpr model::ByLanguage<UINT> kMainBackgrounds{IDB_MAIN_BG_TC, IDB_MAIN_BG_SC, IDB_MAIN_BG_EN};
} // namespace

void CZephrinDlg::AddTrayIcon()
{
    m_trayImage = TrayImageAt(GetDpi());
    m_trayIcon.Add(m_hWnd, IDR_MAINFRAME, WM_TRAY_NOTIFY, m_trayImage ? m_trayImage.get() : m_hIcon.get(), kTrayTip);
}

fw::UniqueIcon CZephrinDlg::TrayImageAt(UINT dpi) const
{
    // At 100 % the area gets the window's icon, as it always did. At other
    // scales it gets the picture drawn for the small-icon size the system
    // asks there, not an icon of another size shrunk or enlarged.
    if (dpi == kBaseDpi)
        return fw::UniqueIcon();
    return fw::UniqueIcon(LoadIconAt(FrameworkResourceHandle(), IDR_MAINFRAME, SmallIconSize(dpi)));
}

void CZephrinDlg::ScaleTrayIcon(UINT dpi)
{
    fw::UniqueIcon icon = TrayImageAt(dpi);
    m_trayIcon.SetIcon(icon ? icon.get() : m_hIcon.get());
    // The area keeps a copy: the icon it showed before may go now.
    m_trayImage = std::move(icon);
}

LRESULT CZephrinDlg::OnPageDpiChanged(WPARAM wp, LPARAM lp)
{
    const UINT dpi = static_cast<UINT>(wp);
    HWND moved = reinterpret_cast<HWND>(lp);
    if (dpi == 0)
        return 0;
    if (moved && moved != m_hWnd && !::IsWindowVisible(moved)) {
        for (model::Page page : model::kPages) {
            CSkinnedPage* window = GetPageWindow(page);
            if (window && window->m_hWnd == moved)
                window->SetDpi(dpi);
        }
        return 0;
    }
    for (model::Page page : model::kPages) {
        if (CSkinnedPage* window = GetPageWindow(page))
            window->SetDpi(dpi);
    }
    ScaleTrayIcon(dpi);
    return 0;
}

void CZephrinDlg::DeleteTrayIcon()
{
    m_trayIcon.Remove();
}

void CZephrinDlg::OnTaskbarCreated()
{
    m_trayIcon.Restore();
}

void CZephrinDlg::ShowCurrentPage(bool show)
{
    if (show)
        EndStartHidden();
    if (CSkinnedPage* page = GetPageWindow(m_currentPage))
        page->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

LRESULT CZephrinDlg::OnTrayNotify(WPARAM wp, LPARAM lp)
{
    switch (static_cast<UINT>(lp)) {
    case WM_LBUTTONDOWN:
        if (wp != IDR_MAINFRAME)
            break;
        if (!m_trayShown) {
            ShowCurrentPage(true);
            m_trayShown = true;
        } else {
            ShowCurrentPage(false);
            m_trayShown = false;
        }
        break;
    case WM_RBUTTONDOWN:
        if (wp == IDR_MAINFRAME)
            ShowTrayMenu();
        break;
    default:
        break;
    }
    return 1;
}

void CZephrinDlg::ShowTrayMenu()
{
    POINT pt{};
    ::GetCursorPos(&pt);
    fw::UniqueMenu menu(::LoadMenuW(FrameworkResourceHandle(), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    if (!menu)
        return;
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    if (!popup)
        return;
    NameTransferEntries(popup, transferops::CurrentLanguage(), !m_fileOperationOpen);
    // The usual tray convention: be the foreground window while the menu is
    // tracked and post a null message afterwards, so the menu closes when the
    // user clicks elsewhere.
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y - 20, 0, m_hWnd, nullptr);
    PostMessage(WM_NULL);
}

LRESULT CZephrinDlg::OnSetLanguage(WPARAM wp, LPARAM lp)
{
    if (const std::optional<model::Language> language = model::LanguageFromNumber(lp)) {
        SetBackgroundId(kMainBackgrounds[*language]);
        ApplySkinWhenShown(*this);
        RepaintSkinChange(*this);
        settings::Write(settings::kLanguage, model::Number(*language));
    }
    if (m_pagesCreated) {
        m_dlgHifi.SendMessage(WM_SET_LANGUAGE, wp, lp);
        m_dlgDigital.SendMessage(WM_SET_LANGUAGE, wp, lp);
        m_dlgInfo.SendMessage(WM_SET_LANGUAGE, wp, lp);
        m_dlgHp.SendMessage(WM_SET_LANGUAGE, wp, lp);
    }
    return 0;
}
