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
    if (m_deferred) {
        // Everything is loaded again at the new scale when loading is due,
        // and what is on show now is shown then.
        const HBITMAP shown = m_hWnd ? GetBitmap() : nullptr;
        if (m_due.what == Due::Unchanged && shown) {
            if (shown == m_onBitmap.get() || shown == m_offBitmap.get())
                m_due = DueShow{Due::State};
            for (int i = 0; i < kPictureSlots && m_due.what == Due::Unchanged; ++i) {
                if (m_pictures[i] == shown)
                    m_due = DueShow{Due::Slot, i};
            }
        }
        m_stateIdsDue = m_onId || m_offId;
        m_listDue = !m_listIds.empty();
        return;
    }
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
    if (m_deferred) {
        // As at once: a state on show in a bitmap is shown in the new ones; a
        // state shown without one (none was there) goes on showing nothing.
        const HBITMAP shown = m_hWnd ? GetBitmap() : nullptr;
        if (m_due.what == Due::Unchanged && shown && (shown == m_onBitmap.get() || shown == m_offBitmap.get()))
            m_due = DueShow{Due::State};
        else if (m_due.what == Due::State && !StateHasPicture())
            m_due = DueShow{Due::Resource, 0, 0};
        m_onId = onId;
        m_offId = offId;
        m_stateIdsDue = true;
        SIZE size{};
        return SkinBitmapSize(onId, &size, m_dpi) && SkinBitmapSize(offId, &size, m_dpi);
    }
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

bool CMyStaticBmp::StateHasPicture() const
{
    if (m_stateIdsDue) {
        SIZE size{};
        return SkinBitmapSize(m_state ? m_onId : m_offId, &size, m_dpi);
    }
    return (m_state ? m_onBitmap : m_offBitmap).get() != nullptr;
}

void CMyStaticBmp::SetState(bool on)
{
    m_state = on;
    if (m_deferred) {
        m_due = DueShow{Due::State};
        return;
    }
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
    if (m_deferred) {
        NotePictures(ids, count, startIndex);
        return true;
    }
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
    if (m_deferred) {
        m_due = DueShow{Due::Slot, index};
        return;
    }
    Show(m_pictures[index]);
}

HBITMAP CMyStaticBmp::GetPicture(int index) const
{
    if (index < 0 || index >= kPictureSlots)
        return nullptr;
    return m_pictures[index];
}

UINT CMyStaticBmp::SlotId(int slot) const
{
    if (m_listIds.empty())
        return 0;
    return m_listIds[static_cast<size_t>(slot) < m_listIds.size() ? static_cast<size_t>(slot) : 0];
}

void CMyStaticBmp::NotePictures(const UINT* ids, int count, int startIndex)
{
    // A start index outside the list leaves on show what is on show: a slot
    // of the list being replaced is then remembered by its bitmap's id.
    if (startIndex < 0 || startIndex >= kPictureSlots) {
        if (m_due.what == Due::Slot)
            m_due = DueShow{Due::Resource, 0, SlotId(m_due.slot)};
    } else {
        m_due = DueShow{Due::Slot, startIndex};
    }
    m_listIds.assign(ids, ids + count);
    m_listDue = true;
    m_currentIndex = startIndex;
}

void CMyStaticBmp::LoadDeferred()
{
    if (!m_deferred)
        return;
    m_deferred = false;
    // Every bitmap of before stays until the new one is on show.
    std::vector<fw::UniqueBitmap> previous;
    if (m_stateIdsDue) {
        previous.push_back(std::move(m_onBitmap));
        previous.push_back(std::move(m_offBitmap));
        m_onBitmap.reset(LoadBitmapResource(m_onId, m_dpi));
        m_offBitmap.reset(LoadBitmapResource(m_offId, m_dpi));
        m_stateIdsDue = false;
    }
    if (m_listDue) {
        for (fw::UniqueBitmap& b : m_loaded)
            previous.push_back(std::move(b));
        m_loaded.clear();
        previous.push_back(std::move(m_stillShown));
        m_loaded.reserve(m_listIds.size());
        for (size_t i = 0; i < m_listIds.size(); ++i) {
            m_loaded.emplace_back(LoadBitmapResource(m_listIds[i], m_dpi));
            m_pictures[i] = m_loaded.back().get();
        }
        for (size_t i = m_listIds.size(); i < kPictureSlots; ++i)
            m_pictures[i] = m_pictures[0];
        m_listDue = false;
    }
    const DueShow due = m_due;
    m_due = DueShow{};
    switch (due.what) {
    case Due::State:
        Show(m_state ? m_onBitmap.get() : m_offBitmap.get());
        break;
    case Due::Slot:
        Show(m_pictures[due.slot]);
        break;
    case Due::Resource: {
        fw::UniqueBitmap kept(due.id ? LoadBitmapResource(due.id, m_dpi) : nullptr);
        Show(kept.get());
        m_stillShown = std::move(kept);
        break;
    }
    case Due::Unchanged:
        break;
    }
    const HBITMAP shown = m_hWnd ? GetBitmap() : nullptr;
    if (shown) {
        auto it = std::find_if(previous.begin(), previous.end(),
                               [shown](const fw::UniqueBitmap& b) { return b.get() == shown; });
        if (it != previous.end())
            m_stillShown = std::move(*it);
    }
}

namespace {

template <typename Action>
void ForEachPicture(HWND parent, Action action)
{
    std::vector<HWND> children;
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND child : children)
        if (auto* picture = dynamic_cast<CMyStaticBmp*>(CWnd::FromHandlePermanent(child)))
            action(*picture);
}

} // namespace

void DeferPictureLoading(HWND parent)
{
    ForEachPicture(parent, [](CMyStaticBmp& picture) { picture.DeferLoading(); });
}

void LoadDeferredPictures(HWND parent)
{
    ForEachPicture(parent, [](CMyStaticBmp& picture) { picture.LoadDeferred(); });
}
