#include "PageColumn.h"

#include "PanelMessages.h"
#include "resource.h"

namespace {

// [page][slot]: positions of the column's buttons on each page (their ids
// are in PageColumnIds.h).
constexpr POINT kColumnPositions[kColumnPageCount][CPageColumn::kSlotCount] = {
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

bool ValidPage(int page)
{
    return page >= 0 && page < kColumnPageCount;
}

} // namespace

UINT CPageColumn::ButtonId(int pageNumber, Slot slot)
{
    return ValidPage(pageNumber) ? kPageColumnIds[pageNumber][slot] : 0;
}

POINT CPageColumn::ButtonPosition(int pageNumber, Slot slot)
{
    return ValidPage(pageNumber) ? kColumnPositions[pageNumber][slot] : POINT{0, 0};
}

int CPageColumn::SlotTarget(Slot slot)
{
    switch (slot) {
    case kMain:
        return 0;
    case kHifi:
        return 1;
    case kDigital:
        return 2;
    case kInfo:
        return 3;
    case kHp:
        return 4;
    default:
        return -1;
    }
}

void CPageColumn::Bind(CSkinnedPage& page, int pageNumber)
{
    m_page = &page;
    m_pageNumber = pageNumber;
    for (int s = 0; s < kSlotCount; ++s)
        m_buttons[s].SubclassDlgItem(ButtonId(pageNumber, static_cast<Slot>(s)), page.m_hWnd);
}

void CPageColumn::Setup()
{
    if (!m_page)
        return;
    for (int s = 0; s < kSlotCount; ++s) {
        auto slot = static_cast<Slot>(s);
        CBitmapButton& button = m_buttons[s];
        POINT pos = ButtonPosition(m_pageNumber, slot);
        PlaceControl(*m_page, button.m_hWnd, pos.x, pos.y);
        if (slot == kClose)
            button.LoadBitmaps(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED);
        else if (SlotTarget(slot) == m_pageNumber)
            button.LoadBitmaps(kLit[s], kGrey[s]);
        else
            button.LoadBitmaps(kGrey[s], kLit[s]);
        button.SizeToContent();
    }
}

WPARAM CPageColumn::SenderCode(int target) const
{
    switch (m_pageNumber) {
    case 1:
        return target == 4 ? 2 : 1; // the Hifi page's Hp button sends 2
    case 2:
        return 2;
    case 3:
        return 3;
    case 4:
        return 5;
    default:
        return 0;
    }
}

bool CPageColumn::OnCommand(UINT id)
{
    if (!m_page)
        return false;
    for (int s = 0; s < kSlotCount; ++s) {
        auto slot = static_cast<Slot>(s);
        if (ButtonId(m_pageNumber, slot) != id)
            continue;
        if (slot == kClose) {
            m_page->ShowWindow(SW_HIDE);
            return true;
        }
        int target = SlotTarget(slot);
        if (target != m_pageNumber)
            RequestPageChange(*m_page, SenderCode(target), target);
        return true;
    }
    return false;
}

void RequestPageChange(CSkinnedPage& page, WPARAM senderCode, int targetPage)
{
    page.ShowWindow(SW_HIDE);
    RECT rc = page.GetWindowRect();
    HWND owner = ::GetWindow(page.m_hWnd, GW_OWNER);
    if (!owner)
        return;
    ::SendMessageW(owner, WM_MOVE_MAIN, static_cast<WPARAM>(static_cast<LONG_PTR>(rc.left)), rc.top);
    ::SendMessageW(owner, WM_SHOW_PAGE, senderCode, targetPage);
}

void RepaintPage(CSkinnedPage& page)
{
    page.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool ApplyLanguageSkin(CSkinnedPage& page, LPARAM language, const UINT (&backgrounds)[3], bool repaintOnOther)
{
    if (language < 0 || language > 2) {
        if (repaintOnOther)
            RepaintPage(page);
        return false;
    }
    page.SetBackgroundId(backgrounds[language]);
    ApplySkinWhenShown(page);
    RepaintPage(page);
    return true;
}
