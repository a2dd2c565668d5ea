#pragma once
// CMyStaticBmp: a static bitmap picture, used either as a two-state picture
// (on bitmap, off bitmap, state) or as a picture list (23 slots, one shown by
// index). Pages create the pictures without the notify style, so presses on
// them reach the page. The control loads and owns every bitmap it shows and
// releases each one once it is no longer on show.
//
// A picture on a page nobody sees yet may defer its loading: from
// DeferLoading() on it notes which bitmaps it is given and which one it would
// show, and LoadDeferred() loads them and shows that one, exactly as if every
// call had loaded at once.
#include "DisplayScale.h"
#include "Handles.h"
#include "Static.h"

#include <vector>

class CMyStaticBmp : public CStatic {
public:
    static constexpr int kPictureSlots = 23;

    CMyStaticBmp() = default;
    ~CMyStaticBmp() override;

    // Loads the two-state picture's bitmaps (state on, state off). A state
    // already on show is shown again in the new bitmaps. True when both loaded.
    bool SetStateBitmaps(UINT onId, UINT offId);
    // state := on; shows the on bitmap when true, else the off bitmap.
    void SetState(bool on);
    bool GetState() const { return m_state; }
    HBITMAP GetOnBitmap() const { return m_onBitmap.get(); }
    HBITMAP GetOffBitmap() const { return m_offBitmap.get(); }

    // Loads four bitmaps into slots 0 to 3 and fills slots 4 to 22 with the
    // slot-0 bitmap; current index := startIndex; shows it.
    bool SetPictureList(const UINT (&ids)[4], int startIndex);
    // Loads 23 bitmaps into slots 0 to 22; current index := startIndex; shows it.
    bool SetPictureList(const UINT (&ids)[kPictureSlots], int startIndex);
    // Shows the bitmap of a slot 0 ... 22; any other index changes nothing.
    // Does not change the current index.
    void ShowPicture(int index);
    HBITMAP GetPicture(int index) const;
    // Loads a bitmap from the program's resources (null when missing).
    static HBITMAP LoadBitmapResource(UINT id, UINT dpi = kBaseDpi);

    // The display scale of the bitmaps (96 DPI until set). A change loads
    // every bitmap again at the new scale and shows what was on show.
    void SetDpi(UINT dpi);
    UINT GetDpi() const { return m_dpi; }

    // Until LoadDeferred(), bitmaps are noted by id and nothing new is shown;
    // GetOnBitmap, GetOffBitmap and GetPicture give the bitmaps of before.
    // SetStateBitmaps then answers whether both bitmaps exist.
    void DeferLoading() { m_deferred = true; }
    bool LoadingDeferred() const { return m_deferred; }
    void LoadDeferred();

    int m_currentIndex = 0;

protected:
    // Makes the slot a bitmap picture, whatever style the template gave it.
    void PreSubclassWindow() override;

private:
    bool LoadPictures(const UINT* ids, int count, int startIndex);
    void NotePictures(const UINT* ids, int count, int startIndex);
    // The id of a slot's bitmap in the list as given (0 without a list).
    UINT SlotId(int slot) const;
    // Whether the state's bitmap (noted or loaded) exists.
    bool StateHasPicture() const;
    // What a deferred picture shows once its bitmaps are loaded.
    enum class Due { Unchanged, State, Slot, Resource };
    struct DueShow {
        Due what = Due::Unchanged;
        int slot = 0; // Slot: the list's slot
        UINT id = 0;  // Resource: a bitmap of an earlier list still on show (0: none)
    };
    // Every bitmap goes on show through here.
    void Show(HBITMAP bitmap);

    UINT m_dpi = kBaseDpi;
    UINT m_onId = 0;
    UINT m_offId = 0;
    fw::UniqueBitmap m_onBitmap;
    fw::UniqueBitmap m_offBitmap;
    bool m_state = false;
    std::vector<UINT> m_listIds; // the picture list's bitmaps, as given
    // The picture list: each loaded bitmap once, and the slots that show them.
    std::vector<fw::UniqueBitmap> m_loaded;
    HBITMAP m_pictures[kPictureSlots] = {};
    // A picture of an earlier list that is still on show (a list loaded with
    // a start index outside it leaves the old picture up).
    fw::UniqueBitmap m_stillShown;

    bool m_deferred = false;
    bool m_stateIdsDue = false; // m_onId and m_offId not loaded yet
    bool m_listDue = false;     // m_listIds not loaded yet
    DueShow m_due;
};

// Every picture among the window's children (and theirs): loading deferred,
// or the deferred bitmaps loaded and shown.
void DeferPictureLoading(HWND parent);
void LoadDeferredPictures(HWND parent);
