#include "MyStaticBmp.h"

#include "Dialog.h"
#include "ResourceBitmap.h"

#include <algorithm>
#include <utility>

CMyStaticBmp::~CMyStaticBmp()
{
    // The static must not keep showing a bitmap that is about to go.
    if (m_hWnd && ::IsWindow(m_hWnd))
        SetBitmap(nullptr);
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

void CMyStaticBmp::Show(HBITMAP bitmap)
{
    SetBitmap(bitmap);
    if (m_stillShown && m_stillShown.get() != bitmap)
        m_stillShown.reset();
}

bool CMyStaticBmp::SetStateBitmaps(UINT onId, UINT offId)
{
    fw::UniqueBitmap on(LoadBitmapResource(onId));
    fw::UniqueBitmap off(LoadBitmapResource(offId));
    const HBITMAP shown = m_hWnd ? GetBitmap() : nullptr;
    const bool stateShown = shown && (shown == m_onBitmap.get() || shown == m_offBitmap.get());
    std::swap(m_onBitmap, on);
    std::swap(m_offBitmap, off);
    // The old pair is released at the end of this call, after the control
    // has let go of it.
    if (stateShown)
        SetState(m_state);
    return m_onBitmap && m_offBitmap;
}

void CMyStaticBmp::SetState(bool on)
{
    m_state = on;
    Show(on ? m_onBitmap.get() : m_offBitmap.get());
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
    // A list loaded again (a language change) releases the previous one's
    // bitmaps once none of them is shown any more.
    std::vector<fw::UniqueBitmap> previous;
    previous.swap(m_loaded);
    previous.push_back(std::move(m_stillShown));

    m_loaded.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        m_loaded.emplace_back(LoadBitmapResource(ids[i]));
        m_pictures[i] = m_loaded.back().get();
    }
    // The short list repeats its first picture in the remaining slots.
    for (int i = count; i < kPictureSlots; ++i)
        m_pictures[i] = m_pictures[0];
    m_currentIndex = startIndex;
    ShowPicture(startIndex);

    // A start index outside the list leaves the old picture on show: it is
    // kept until something else is shown.
    const HBITMAP shown = GetBitmap();
    if (shown) {
        auto it = std::find_if(previous.begin(), previous.end(),
                               [shown](const fw::UniqueBitmap& b) { return b.get() == shown; });
        if (it != previous.end())
            m_stillShown = std::move(*it);
    }
    return true;
}

void CMyStaticBmp::ShowPicture(int index)
{
    if (index < 0 || index >= kPictureSlots)
        return;
    Show(m_pictures[index]);
}

HBITMAP CMyStaticBmp::GetPicture(int index) const
{
    if (index < 0 || index >= kPictureSlots)
        return nullptr;
    return m_pictures[index];
}
