#include "MyStaticBmp.h"

#include "Dialog.h"
#include "ResourceBitmap.h"

#include <algorithm>

CMyStaticBmp::~CMyStaticBmp()
{
    // The static must not keep showing a bitmap that is about to go.
    if (m_hWnd && ::IsWindow(m_hWnd))
        SetBitmap(nullptr);
    HBITMAP owned[kPictureSlots + 2];
    int count = 0;
    auto add = [&](HBITMAP b) {
        if (b && std::find(owned, owned + count, b) == owned + count)
            owned[count++] = b;
    };
    add(m_onBitmap);
    add(m_offBitmap);
    for (HBITMAP b : m_pictures)
        add(b);
    for (int i = 0; i < count; ++i)
        ::DeleteObject(owned[i]);
}

void CMyStaticBmp::PreSubclassWindow()
{
    if ((GetStyle() & SS_TYPEMASK) != SS_BITMAP)
        ModifyStyle(SS_TYPEMASK, SS_BITMAP);
}

HBITMAP CMyStaticBmp::LoadBitmapResource(UINT id)
{
    return LoadSkinBitmap(id);
}

void CMyStaticBmp::SetState(bool on)
{
    m_state = on;
    SetBitmap(on ? m_onBitmap : m_offBitmap);
}

bool CMyStaticBmp::SetPictureList(const UINT (&ids)[4], int startIndex)
{
    return LoadPictures(ids, 4, startIndex);
}

bool CMyStaticBmp::SetPictureList(const UINT (&ids)[kPictureSlots], int startIndex)
{
    return LoadPictures(ids, kPictureSlots, startIndex);
}

bool CMyStaticBmp::LoadPictures(const UINT* ids, int count, int startIndex)
{
    HBITMAP old[kPictureSlots];
    std::copy(std::begin(m_pictures), std::end(m_pictures), old);
    for (int i = 0; i < count; ++i)
        m_pictures[i] = LoadBitmapResource(ids[i]);
    // The short list repeats its first picture in the remaining slots.
    for (int i = count; i < kPictureSlots; ++i)
        m_pictures[i] = m_pictures[0];
    m_currentIndex = startIndex;
    ShowPicture(startIndex);
    // A list loaded again (a language change) releases the pictures of the
    // previous one once none of them is shown any more. A start index outside
    // the list leaves the old picture on show: keep that one.
    HBITMAP shown = GetBitmap();
    for (HBITMAP& b : old) {
        if (b == shown)
            b = nullptr;
    }
    ReleaseUnused(old);
    return true;
}

void CMyStaticBmp::ReleaseUnused(HBITMAP (&old)[kPictureSlots])
{
    for (int i = 0; i < kPictureSlots; ++i) {
        HBITMAP b = old[i];
        if (!b || b == m_onBitmap || b == m_offBitmap)
            continue;
        if (std::find(std::begin(m_pictures), std::end(m_pictures), b) != std::end(m_pictures))
            continue;
        if (std::find(old, old + i, b) != old + i)
            continue; // already released
        ::DeleteObject(b);
    }
}

void CMyStaticBmp::ShowPicture(int index)
{
    if (index < 0 || index >= kPictureSlots)
        return;
    SetBitmap(m_pictures[index]);
}

HBITMAP CMyStaticBmp::GetPicture(int index) const
{
    if (index < 0 || index >= kPictureSlots)
        return nullptr;
    return m_pictures[index];
}
