#pragma once
// CDC: a drawing context, owning (a memory DC it created, deleted with it) or
// not (one it was attached to). CPaintDC is the scoped form for painting; a
// window's DC outside WM_PAINT is fw::ScopedWindowDC (Handles.h).
#include <windows.h>
#include <string>

class CDC {
public:
    CDC() = default;
    // Wraps an existing DC without owning it.
    explicit CDC(HDC dc) : m_hDC(dc) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // Creates an owned memory DC compatible with `dc` (the screen when null).
    BOOL CreateCompatibleDC(HDC dc);
    BOOL DeleteDC();
    void Attach(HDC dc);
    HDC Detach();

    HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
    BOOL BitBlt(int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop = SRCCOPY)
    {
        return ::BitBlt(m_hDC, x, y, w, h, src, sx, sy, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop = SRCCOPY)
    {
        return ::StretchBlt(m_hDC, x, y, w, h, src, sx, sy, sw, sh, rop);
    }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    BOOL SetBrushOrg(int x, int y) { return ::SetBrushOrgEx(m_hDC, x, y, nullptr); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetClipBox(RECT* rc) const { return ::GetClipBox(m_hDC, rc); }
    // True for a printer context (never for the screen or memory).
    BOOL IsPrinting() const { return ::GetDeviceCaps(m_hDC, TECHNOLOGY) == DT_RASPRINTER; }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    int GetMapMode() const { return ::GetMapMode(m_hDC); }
    SIZE GetWindowExt() const;
    SIZE GetViewportExt() const;
    void SetWindowExt(SIZE s) { ::SetWindowExtEx(m_hDC, s.cx, s.cy, nullptr); }
    void SetViewportExt(SIZE s) { ::SetViewportExtEx(m_hDC, s.cx, s.cy, nullptr); }
    void SetWindowOrg(int x, int y) { ::SetWindowOrgEx(m_hDC, x, y, nullptr); }
    BOOL LPtoDP(RECT* rc) const { return ::LPtoDP(m_hDC, reinterpret_cast<POINT*>(rc), 2); }
    void FillSolidRect(const RECT& rc, COLORREF color);
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    int DrawText(const std::wstring& text, RECT* rc, UINT format)
    {
        return ::DrawTextW(m_hDC, text.c_str(), static_cast<int>(text.size()), rc, format);
    }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

private:
    bool m_owned = false;
};

// BeginPaint / EndPaint for the scope of a WM_PAINT handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_wnd;
};
