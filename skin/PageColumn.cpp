#include "PageColumn.h"

#include "PanelMessages.h"
#include "resource.h"

namespace {

using model::Page;

// [page][slot]: positions of the column's buttons on each page, rows in page
// number order (their ids are in PageColumnIds.h).
constexpr POINT kColumnPositions[model::kPageCount][CPageColumn::kSlotCount] = {
    {{735, 9}, {702, 45}, {702, 87}, {702, 129}, {702, 171}, {702, 210}}, // Main
    {{730, 9}, {690, 66}, {690, 108}, {690, 150}, {690, 192}, {690, 300}}, // Hifi
    {{735, 9}, {704, 45}, {704, 87}, {704, 129}, {704, 171}, {704, 210}}, // Digital
    {{735, 9}, {704, 45}, {704, 87}, {704, 129}, {704, 171}, {704, 210}}, // Info
    {{735, 9}, {704, 45}, {704, 87}, {704, 129}, {704, 171}, {704, 210}}, // Hp
};

// Lit and grey bitmaps of the page buttons, by slot.
constexpr UINT kLit[CPageColumn::kSlotCount] = {0, IDB_PAGE_MAIN_LIT, IDB_PAGE_HIFI_LIT, IDB_PAGE_DIGITAL_LIT,
                                                IDB_PAGE_HP_LIT, IDB_PAGE_INFO_LIT};
constexpr UINT kGrey[CPageColumn::kSlotCount] = {0, IDB_PAGE_MAIN_GREY, IDB_PAGE_HIFI_GREY, IDB_PAGE_DIGITAL_GREY,
                                                 IDB_PAGE_HP_GREY, IDB_PAGE_INFO_GREY};

} // namespace

UINT CPageColumn::ButtonId(Page page, Slot slot)
{
    return PageColumnId(page, static_cast<PageColumnSlot>(slot));
}

POINT CPageColumn::ButtonPosition(Page page, Slot slot)
{
    return kColumnPositions[model::Number(page)][slot];
}

std::optional<Page> CPageColumn::SlotTarget(Slot slot)
{
    switch (slot) {
    case kMain:
        return Page::Main;
    case kHifi:
        return Page::Hifi;
    case kDigital:
        return Page::Digital;
    case kInfo:
        return Page::Info;
    case kHp:
        return Page::Hp;
    default:
        return std::nullopt;
    }
}

void CPageColumn::Bind(CSkinnedPage& page, Page which)
{
    m_page = &page;
    m_which = which;
    for (int s = 0; s < kSlotCount; ++s)
        m_buttons[s].SubclassDlgItem(ButtonId(which, static_cast<Slot>(s)), page.m_hWnd);
}

void CPageColumn::Setup()
{
    Place();
    LoadBitmaps();
}

void CPageColumn::Place()
{
    if (!m_page)
        return;
    for (int s = 0; s < kSlotCount; ++s) {
        POINT pos = ButtonPosition(m_which, static_cast<Slot>(s));
        PlaceControl(*m_page, m_buttons[s].m_hWnd, pos.x, pos.y);
    }
}

void CPageColumn::LoadBitmaps()
{
    // The column's bitmaps are the same in every language: loaded once for
    // each display scale the page takes.
    if (!m_page || m_bitmapsDpi == m_page->GetDpi())
        return;
    m_bitmapsDpi = m_page->GetDpi();
    for (int s = 0; s < kSlotCount; ++s) {
        auto slot = static_cast<Slot>(s);
        CBitmapButton& button = m_buttons[s];
        button.SetDpi(m_page->GetDpi());
        if (slot == kClose)
            button.LoadBitmaps(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED);
        else if (SlotTarget(slot) == m_which)
            button.LoadBitmaps(kLit[s], kGrey[s]);
        else
            button.LoadBitmaps(kGrey[s], kLit[s]);
        button.SizeToContent();
    }
}

bool CPageColumn::OnCommand(UINT id)
{
    if (!m_page)
        return false;
    for (int s = 0; s < kSlotCount; ++s) {
        auto slot = static_cast<Slot>(s);
        if (ButtonId(m_which, slot) != id)
            continue;
        const std::optional<Page> target = SlotTarget(slot);
        if (!target) {
            m_page->ShowWindow(SW_HIDE);
            return true;
        }
        if (*target != m_which)
            RequestPageChange(*m_page, *target);
        return true;
    }
    return false;
}

void HideForNextPage(CSkinnedPage& page)
{
    // The main dialog is mostly hidden already when a page asks for another.
    if (!page.m_hWnd || !::IsWindowVisible(page.m_hWnd))
        return;
    // With SWP_NOZORDER the place in the z-order is not read. Wine reads it
    // all the same to restack the windows the hidden one owns (the main
    // dialog owns the four other pages), one round trip to the X server
    // each; "bottom" tells it that they need no moving.
    page.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0,
                      SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RequestPageChange(CSkinnedPage& page, Page target)
{
    HWND owner = ::GetWindow(page.m_hWnd, GW_OWNER);
    if (!owner) {
        // No main dialog to show another page: the page only closes.
        page.ShowWindow(SW_HIDE);
        return;
    }
    HideForNextPage(page);
    RECT rc = page.GetWindowRect();
    page.SetRequestedPage(target);
    ::SendMessageW(owner, WM_MOVE_MAIN, static_cast<WPARAM>(static_cast<LONG_PTR>(rc.left)), rc.top);
    // wParam is not read by the main dialog.
    ::SendMessageW(owner, WM_SHOW_PAGE, 0, model::Number(target));
    page.SetRequestedPage(std::nullopt);
}

void RepaintPage(CSkinnedPage& page)
{
    page.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::optional<model::Language> ApplyLanguageSkin(CSkinnedPage& page, LPARAM number,
                                                 const model::ByLanguage<UINT>& backgrounds, bool repaintOnOther)
{
    const std::optional<model::Language> language = model::LanguageFromNumber(number);
    if (!language) {
        if (repaintOnOther)
            RepaintPage(page);
        return std::nullopt;
    }
    page.SetBackgroundId(backgrounds[*language]);
    ApplySkinWhenShown(page);
    RepaintSkinChange(page);
    return language;
}
