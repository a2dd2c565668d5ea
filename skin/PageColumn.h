#pragma once
// The page column every page carries: a close button and one button per page.
// The button of the page on screen shows its lit bitmap, the others their grey
// one, so the lit button always names the visible page.
#include "BitmapButton.h"
#include "PageColumnIds.h"
#include "SkinnedPage.h"

#include <array>

class CPageColumn {
public:
    // Column slots, in the order the buttons are constructed.
    enum Slot {
        kClose = kColumnClose,
        kMain = kColumnToMain,
        kHifi = kColumnToHifi,
        kDigital = kColumnToDigital,
        kHp = kColumnToHp,
        kInfo = kColumnToInfo,
        kSlotCount = kColumnSlotCount
    };

    // Control id of a slot on the given page (page numbers 0 Main ... 4 Hp).
    static UINT ButtonId(int pageNumber, Slot slot);
    // Top-left of a slot on the given page, in page pixels.
    static POINT ButtonPosition(int pageNumber, Slot slot);
    // Target page number of a slot (-1 for close).
    static int SlotTarget(Slot slot);

    // Binds the six template buttons of the page.
    void Bind(CSkinnedPage& page, int pageNumber);
    // Places the buttons, loads their bitmaps and sizes them to the bitmaps.
    void Setup();

    // For the four pages other than Main: handles a command of the column.
    // Close hides the page; another page's button hides this page, moves the
    // main dialog to this page's place and asks it for the target page; the
    // page's own button does nothing. Returns false for any other command.
    bool OnCommand(UINT id);

    CBitmapButton& Button(Slot slot) { return m_buttons[slot]; }

private:
    // The sender code a page passes with WM_SHOW_PAGE (the main dialog does
    // not use it).
    WPARAM SenderCode(int target) const;

    std::array<CBitmapButton, kSlotCount> m_buttons;
    CSkinnedPage* m_page = nullptr;
    int m_pageNumber = 0;
};

// Asks the main dialog (the page's owner) for another page, at this page's
// screen position: hides the page, sends WM_MOVE_MAIN, then WM_SHOW_PAGE.
void RequestPageChange(CSkinnedPage& page, WPARAM senderCode, int targetPage);

// The common part of a page's language change: for language 0, 1 or 2 sets
// the page's background from `backgrounds`, re-skins (a hidden page when it is
// next shown) and repaints the page and
// returns true; any other number only repaints (unless repaintOnOther is
// false) and returns false.
bool ApplyLanguageSkin(CSkinnedPage& page, LPARAM language, const UINT (&backgrounds)[3], bool repaintOnOther = true);

// Repaints a page completely, its controls included.
void RepaintPage(CSkinnedPage& page);
