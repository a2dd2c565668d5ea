#include "MyComboBox.h"

#include "Dialog.h"
#include "MemDC.h"
#include "ResourceBitmap.h"

#include <algorithm>

bool CMyComboBox::IsEditBox() const
{
    wchar_t cls[16] = {};
    ::GetClassNameW(m_hWnd, cls, 16);
    return ::lstrcmpiW(cls, L"Edit") == 0;
}

HBITMAP CMyComboBox::Face()
{
    if (m_loadedFaceId != m_faceBitmapId || m_loadedFaceDpi != m_dpi) {
        m_face.reset(m_faceBitmapId ? LoadSkinBitmap(m_faceBitmapId, BitmapKind::Device, m_dpi) : nullptr);
        m_loadedFaceId = m_faceBitmapId;
        m_loadedFaceDpi = m_dpi;
        BITMAP bm{};
        m_faceSize = m_face && ::GetObjectW(m_face.get(), sizeof bm, &bm) ? SIZE{bm.bmWidth, bm.bmHeight} : SIZE{};
    }
    return m_face.get();
}

void CMyComboBox::SetFaceBitmap(UINT bitmapId)
{
    m_faceBitmapId = bitmapId;
    FitToFace();
    ClipToFace();
}

void CMyComboBox::SetDpi(UINT dpi)
{
    if (!m_createdDpi) {
        // The first scale a page gives is the one the control was created
        // at, with the dialog's font for it: nothing to change yet.
        m_createdDpi = dpi;
        m_dpi = dpi;
        m_createdFontHandle = m_hWnd ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)) : nullptr;
        if (!m_createdFontHandle || !::GetObjectW(m_createdFontHandle, sizeof m_createdFont, &m_createdFont))
            m_createdFont = LOGFONTW{};
        return;
    }
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    if (m_hWnd && m_createdFont.lfHeight != 0) {
        fw::UniqueFont scaled;
        HFONT font = nullptr;
        if (dpi == m_createdDpi) {
            font = m_createdFontHandle; // the dialog's, which outlives the control
        } else {
            LOGFONTW lf = m_createdFont;
            lf.lfHeight = ::MulDiv(m_createdFont.lfHeight, static_cast<int>(dpi), static_cast<int>(m_createdDpi));
            scaled.reset(::CreateFontIndirectW(&lf));
            font = scaled.get();
        }
        if (font) {
            SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            // The font shown before is released only once the control has another.
            m_scaledFont = std::move(scaled);
        }
    }
    FitToFace();
    ClipToFace();
    if (m_hWnd)
        Invalidate(TRUE);
}

RECT CMyComboBox::WithinFace(RECT area)
{
    if (Face()) {
        area.right = area.left + std::min<LONG>(area.right - area.left, m_faceSize.cx);
        area.bottom = area.top + std::min<LONG>(area.bottom - area.top, m_faceSize.cy);
    }
    return area;
}

void CMyComboBox::ClipToFace()
{
    if (!Face() || !m_hWnd)
        return;
    // Some systems keep a combo box taller than its face (a minimum field
    // height for the font): what lies beyond the face stays the page's, not
    // a strip of the system's own combo box.
    const RECT wr = CWnd::GetWindowRect();
    const RECT box{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    const RECT face = WithinFace(box);
    if (::EqualRect(&face, &box)) {
        ::SetWindowRgn(m_hWnd, nullptr, TRUE);
        return;
    }
    fw::UniqueRgn shape(::CreateRectRgnIndirect(&face));
    // On success the window owns the region.
    if (shape && ::SetWindowRgn(m_hWnd, shape.get(), TRUE))
        shape.release();
}

void CMyComboBox::FitToFace()
{
    if (!Face() || !m_hWnd || IsEditBox())
        return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!::GetComboBoxInfo(m_hWnd, &info))
        return;
    // The closed combo box's height follows its selection field: change the
    // field by the difference between the face and the box.
    const int boxHeight = info.rcItem.bottom + (info.rcItem.top > 0 ? info.rcItem.top : 0);
    const LRESULT item = SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (item == CB_ERR)
        return;
    const int wanted = static_cast<int>(item) + (m_faceSize.cy - boxHeight);
    if (wanted > 0 && wanted != item)
        SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
}

void CMyComboBox::DrawFace(HDC dc)
{
    HBITMAP face = Face();
    if (!face)
        return;
    // Never copy from outside the bitmap.
    const RECT wr = WithinFace(CWnd::GetWindowRect());
    fw::UniqueMemDC src(::CreateCompatibleDC(dc));
    if (!src)
        return;
    fw::ScopedSelect select(src.get(), face);
    ::BitBlt(dc, 0, 0, wr.right - wr.left, wr.bottom - wr.top, src.get(), 0, 0, SRCCOPY);
}

bool CMyComboBox::OnChildNotify(UINT msg, WPARAM wp, LPARAM, LRESULT* result)
{
    if (msg != WM_COMMAND)
        return false;
    const UINT code = HIWORD(wp);
    if (IsEditBox()) {
        // The edit box's face shows the focus change too; the page still hears it.
        if (code == EN_SETFOCUS || code == EN_KILLFOCUS)
            Invalidate(TRUE);
        return false;
    }
    switch (code) {
    case CBN_SETFOCUS:
    case CBN_KILLFOCUS:
        Invalidate(TRUE);
        *result = 0;
        return true;
    case CBN_DROPDOWN:
        *result = 0;
        return true;
    default:
        return false;
    }
}

LRESULT CMyComboBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return CComboBox::WindowProc(msg, wp, lp);
    }
}

LRESULT CMyComboBox::OnEraseBkgnd(HDC dc)
{
    DrawFace(dc);
    // An edit box's own erase would paint its white background over the face.
    if (IsEditBox())
        return TRUE;
    Default();
    return TRUE;
}

void CMyComboBox::OnPaint()
{
    CPaintDC paint(m_hWnd);
    HDC dc = paint.GetSafeHdc();
    if (!dc)
        return;
    {
        // Only the face's part of the box is painted (the box can be taller
        // than its face). Face and text are composed off-screen and reach
        // the screen in one copy, whether or not an erase came first.
        RECT client = WithinFace(CWnd::GetClientRect());
        CMemDC mem(dc, &client, false);
        DrawFace(mem);
        const std::wstring text = GetWindowText();
        ::SetTextColor(mem, RGB(0, 0, 0));
        ::SetBkMode(mem, TRANSPARENT);
        LOGFONTW lf{};
        lf.lfHeight = -ScaleFigure(kFontPixels, m_dpi);
        lf.lfCharSet = DEFAULT_CHARSET;
        ::lstrcpynW(lf.lfFaceName, L"Arial", LF_FACESIZE);
        fw::UniqueFont font(::CreateFontIndirectW(&lf));
        {
            fw::ScopedSelect select(mem, font.get());
            ::DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &client,
                        DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
        }
    }
}
