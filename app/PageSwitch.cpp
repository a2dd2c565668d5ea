// Switching between the five pages at one screen position.
#include "ZephrinDlg.h"

void CZephrinDlg::EndStartHidden()
{
    // Once the user asks for a page, no late non-client paint request may
    // hide it again: how many such requests start-up brings differs between
    // systems, and the first click on the tray icon must show the panel.
    m_startHiddenRequests = 0;
}

void CZephrinDlg::ShowPageFromMain(model::Page page)
{
    CSkinnedPage* target = GetPageWindow(page);
    if (!target || target == this || !target->m_hWnd)
        return;
    RECT mainRect = GetWindowRect();
    HideForNextPage(*this);
    if (page == model::Page::Hp) {
        // The Hp page takes the main dialog's place and size.
        target->SetWindowPos(nullptr, mainRect.left, mainRect.top, mainRect.right - mainRect.left,
                             mainRect.bottom - mainRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        target->RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        target->ShowWindow(SW_SHOW);
    } else {
        // Moved before it shows, so the page never flashes at its old place.
        // Showing paints the whole page, its controls with it: a repaint
        // asked for afterwards would only paint the background once more.
        target->SetWindowPos(nullptr, mainRect.left, mainRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        target->ShowWindow(SW_SHOW);
    }
    m_currentPage = page;
}

LRESULT CZephrinDlg::OnShowPage(WPARAM, LPARAM lp)
{
    // The page number is read from the low 32 bits of lParam.
    const std::optional<model::Page> page = model::PageFromNumber(static_cast<int>(lp));
    if (!page)
        return 0;
    if (*page == model::Page::Main) {
        EndStartHidden();
        ShowWindow(SW_SHOW);
        m_currentPage = model::Page::Main;
        return 1;
    }
    ShowPageFromMain(*page);
    return 1;
}

LRESULT CZephrinDlg::OnMoveMain(WPARAM wp, LPARAM lp)
{
    int x = static_cast<int>(static_cast<LONG_PTR>(wp));
    int y = static_cast<int>(lp);
    // Mostly the page stands where the main dialog does (it was dragged
    // otherwise): asking the system to move a window to its own place still
    // costs a round of window-position messages.
    const RECT rc = GetWindowRect();
    if (rc.left != x || rc.top != y)
        SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EndStartHidden();
    // A page on its way to another page moves the main dialog only: that
    // page takes its place at once, and the main page is not shown and
    // hidden again in between.
    for (model::Page page : model::kPages) {
        const CSkinnedPage* window = GetPageWindow(page);
        if (window && window != this) {
            const std::optional<model::Page> requested = window->RequestedPage();
            if (requested && *requested != model::Page::Main) {
                // A scale that waited for the main dialog to show is taken
                // all the same: the Hp page takes its size.
                ApplyDpi();
                return 1;
            }
        }
    }
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    ShowWindow(SW_SHOW);
    return 1;
}
