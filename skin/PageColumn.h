#pragma once
// The page column every page carries: a close button and one button per page.
// The button of the page on screen shows its lit bitmap, the others their grey
// one, so the lit button always names the visible page.
#include "BitmapButton.h"
#include "PageColumnIds.h"
#include "PanelModel.h"
#include "SkinnedPage.h"

#include <array>
#include <optional>

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

    // Control id of a slot on the given page.
    static UINT ButtonId(model::Page page, Slot slot);
    // Top-left of a slot on the given page, in page pixels.
    static POINT ButtonPosition(model::Page page, Slot slot);
    // The page a slot's button shows; none for the close button.
    static std::optional<model::Page> SlotTarget(Slot slot);

    // Binds the six template buttons of the page.
    void Bind(CSkinnedPage& page, model::Page which);
    // Places the buttons, loads their bitmaps and sizes them to the bitmaps,
    // at the page's scale; again when the scale changed.
    void Setup();
    // The two halves of Setup, for a page that loads its pictures later.
    void Place();
    void LoadBitmaps();

    // For the four pages other than Main: handles a command of the column.
    // Close hides the page; another page's button hides this page, moves the
    // main dialog to this page's place and asks it for the target page; the
    // page's own button does nothing. Returns false for any other command.
    bool OnCommand(UINT id);

    CBitmapButton& Button(Slot slot) { return m_buttons[slot]; }

private:
    std::array<CBitmapButton, kSlotCount> m_buttons;
    CSkinnedPage* m_page = nullptr;
    model::Page m_which = model::Page::Main;
    UINT m_bitmapsDpi = 0; // the scale of the loaded bitmaps; 0 before the first
};

// Hides a page that another page of the panel replaces at once. The system
// is not asked to hand the activation to another program's window, nor to
// raise the hidden page (and the pages it owns) to the top in the meantime:
// the page that shows next takes both.
void HideForNextPage(CSkinnedPage& page);

// Asks the main dialog (the page's owner) for another page, at this page's
// screen position: hides the page, sends WM_MOVE_MAIN, then WM_SHOW_PAGE.
void RequestPageChange(CSkinnedPage& page, model::Page target);

// The common part of a page's language change, for WM_SET_LANGUAGE's number:
// for a language, sets the page's background from `backgrounds`, re-skins (a
// hidden page when it is next shown), repaints the page and returns the
// language; any other number only repaints (unless repaintOnOther is false)
// and returns none.
std::optional<model::Language> ApplyLanguageSkin(CSkinnedPage& page, LPARAM number,
                                                 const model::ByLanguage<UINT>& backgrounds,
                                                 bool repaintOnOther = true);

// Repaints a page completely, its controls included.
void RepaintPage(CSkinnedPage& page);
