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

HBITMAP CMyStaticBmp::LoadBitmapResource(UINT id, UINT dpi)
{
    return LoadSkinBitmap(id, BitmapKind::Device, dpi);
}

void CMyStaticBmp::SetDpi(UINT dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    // Which picture is on show: a state's or a slot's of the list.
    const HBITMAP shown = m_hWnd ? GetBitmap() : nullptr;
    int shownSlot = -1;
    for (int i = 0; i < kPictureSlots && shownSlot < 0; ++i) {
        if (shown && m_pictures[i] == shown)
            shownSlot = i;
    }
    if (m_onId || m_offId)
        SetStateBitmaps(m_onId, m_offId);
    if (m_listIds.empty())
        return;
    std::vector<fw::UniqueBitmap> previous;
    previous.swap(m_loaded);
    const std::vector<UINT> ids = m_listIds;
    for (size_t i = 0; i < ids.size(); ++i) {
        m_loaded.emplace_back(LoadBitmapResource(ids[i], m_dpi));
        m_pictures[i] = m_loaded.back().get();
    }
    for (size_t i = ids.size(); i < kPictureSlots; ++i)
        m_pictures[i] = m_pictures[0];
    if (shownSlot >= 0)
        Show(m_pictures[shownSlot]);
    // The old bitmaps go now that none of them is on show.
}

void CMyStaticBmp::Show(HBITMAP bitmap)
{
    SetBitmap(bitmap);
    if (m_stillShown && m_stillShown.get() != bitmap)
        m_stillShown.reset();
}

bool CMyStaticBmp::SetStateBitmaps(UINT onId, UINT offId)
{
    m_onId = onId;
    m_offId = offId;
    fw::UniqueBitmap on(LoadBitmapResource(onId, m_dpi));
    fw::UniqueBitmap off(LoadBitmapResource(offId, m_dpi));
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

    m_listIds.assign(ids, ids + count);
    m_loaded.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        m_loaded.emplace_back(LoadBitmapResource(ids[i], m_dpi));
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
