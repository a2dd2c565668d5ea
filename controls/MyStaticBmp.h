#pragma once
// CMyStaticBmp: a static bitmap picture, used either as a two-state picture
// (on bitmap, off bitmap, state) or as a picture list (23 slots, one shown by
// index). Pages create the pictures without the notify style, so presses on
// them reach the page. The control owns every bitmap it holds (the on and off
// handles the page stores, and the loaded picture list) and releases them
// when it is destroyed.
#include "Static.h"

class CMyStaticBmp : public CStatic {
public:
    static constexpr int kPictureSlots = 23;

    CMyStaticBmp() = default;
    ~CMyStaticBmp() override;

    // state := on; shows the on bitmap when true, else the off bitmap.
    void SetState(bool on);
    bool GetState() const { return m_state; }
    // Loads four bitmaps into slots 0 to 3 and fills slots 4 to 22 with the
    // slot-0 bitmap; current index := startIndex; shows it.
    bool SetPictureList(const UINT (&ids)[4], int startIndex);
    // Loads 23 bitmaps into slots 0 to 22; current index := startIndex; shows it.
    bool SetPictureList(const UINT (&ids)[kPictureSlots], int startIndex);
    // Shows the bitmap of a slot 0 ... 22; any other index changes nothing.
    // Does not change the current index.
    void ShowPicture(int index);
    HBITMAP GetPicture(int index) const;
    // Loads a bitmap from the program's resources (null when missing); for
    // pages that fill m_onBitmap / m_offBitmap.
    static HBITMAP LoadBitmapResource(UINT id);

    // Two-state picture: the handles the page stores after loading them.
    HBITMAP m_onBitmap = nullptr;
    HBITMAP m_offBitmap = nullptr;
    // Picture list.
    HBITMAP m_pictures[kPictureSlots] = {};
    bool m_state = false;
    int m_currentIndex = 0;

protected:
    // Makes the slot a bitmap picture, whatever style the template gave it.
    void PreSubclassWindow() override;

private:
    bool LoadPictures(const UINT* ids, int count, int startIndex);
    void ReleaseUnused(HBITMAP (&old)[kPictureSlots]);
};
