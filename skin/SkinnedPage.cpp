#include "SkinnedPage.h"

#include "PanelMessages.h"
#include "ResourceBitmap.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>

namespace {
constexpr size_t kRegionGrowth = 40;

// Collects rectangles with the list discipline the shape is built with:
// room for `height` rectangles at first, 40 more whenever it is full.
struct RectList {
    std::vector<RECT>& rects;
    size_t room;
    void Add(int x0, int x1, int y)
    {
        if (rects.size() == room) {
            room += kRegionGrowth;
            rects.reserve(room);
        }
        rects.push_back(RECT{x0, y, x1, y + 1});
    }
};
} // namespace

namespace {

enum class Rows { Unknown, BottomUpSkin };

RegionRects ScanRegion(HBITMAP bitmap, Rows skin)
{
    RegionRects shape;
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm))
        return shape;
    const int width = bm.bmWidth;
    const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    const int bpp = bm.bmBitsPixel;
    shape.width = width;
    shape.height = height;
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return shape;
    shape.supported = true;
    shape.rects.reserve(static_cast<size_t>(height));
    if (width <= 0 || height <= 0)
        return shape;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    // Row y (0 the top) of the pixels scanned, at bottom + up * (height - 1 - y).
    const uint8_t* bottom = nullptr;
    ptrdiff_t up = 0;
    std::vector<uint8_t> pixels;
    DIBSECTION dib{};
    if (skin == Rows::BottomUpSkin && bpp == 24 &&
        ::GetObjectW(bitmap, sizeof dib, &dib) == static_cast<int>(sizeof dib) && dib.dsBm.bmBits &&
        dib.dsBmih.biCompression == BI_RGB) {
        // Read where it lies: no copy of the whole picture. (GetObject does
        // not tell a top-down section from a bottom-up one; the caller does.)
        ::GdiFlush();
        bottom = static_cast<const uint8_t*>(dib.dsBm.bmBits);
        up = dib.dsBm.bmWidthBytes;
    } else {
        // Bottom-up DIB in the bitmap's own depth, rows padded to 4 bytes.
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = height;
        info.header.biPlanes = 1;
        info.header.biBitCount = static_cast<WORD>(bpp);
        info.header.biCompression = BI_RGB;
        pixels.resize(stride * static_cast<size_t>(height));
        fw::ScopedWindowDC screen(nullptr);
        int rows = ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
        if (rows != height) {
            shape.supported = false;
            return shape;
        }
        bottom = pixels.data();
        up = static_cast<ptrdiff_t>(stride);
    }

    auto seeThrough = [&](const uint8_t* row, int x) -> bool {
        switch (bpp) {
        case 32: {
            uint32_t v;
            std::memcpy(&v, row + x * 4, 4);
            return v == 0x000000FFu;
        }
        case 24:
            return row[x * 3] == 255 && row[x * 3 + 1] == 0 && row[x * 3 + 2] == 0;
        case 16: {
            uint16_t v;
            std::memcpy(&v, row + x * 2, 2);
            return v == 0x001F;
        }
        default: {
            const RGBQUAD& c = info.colours[row[x]];
            return c.rgbBlue == 255 && c.rgbGreen == 0 && c.rgbRed == 0 && c.rgbReserved == 0;
        }
        }
    };

    RectList list{shape.rects, static_cast<size_t>(height)};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bottom + up * (height - 1 - y);
        int x = 0;
        while (x < width) {
            while (x < width && seeThrough(row, x))
                ++x;
            if (x >= width)
                break;
            int x0 = x;
            while (x < width && !seeThrough(row, x))
                ++x;
            list.Add(x0, x, y);
        }
    }
    return shape;
}

} // namespace

RegionRects BuildRegionFromBitmap(HBITMAP bitmap)
{
    return ScanRegion(bitmap, Rows::Unknown);
}

RegionRects BuildRegionFromSkinBitmap(HBITMAP bitmap)
{
    return ScanRegion(bitmap, Rows::BottomUpSkin);
}

HRGN CreateRegionFromRects(const RegionRects& shape)
{
    const size_t count = shape.rects.size();
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
    rgn->rdh.iType = RDH_RECTANGLES;
    rgn->rdh.nCount = static_cast<DWORD>(count);
    rgn->rdh.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    rgn->rdh.rcBound = RECT{0, 0, shape.width, shape.height};
    if (count)
        std::memcpy(rgn->Buffer, shape.rects.data(), count * sizeof(RECT));
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rgn);
}

void ApplySkinWhenShown(CSkinnedPage& page)
{
    if (page.m_hWnd && !::IsWindowVisible(page.m_hWnd)) {
        page.m_skinPending = true;
        // The window has the picture's size at once all the same (others
        // place themselves by it); the shape comes with the picture.
        SIZE size{};
        if (SkinBitmapSize(page.m_backgroundId, &size, page.m_dpi)) {
            RECT rc = page.GetWindowRect();
            if (rc.right - rc.left != size.cx || rc.bottom - rc.top != size.cy)
                page.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return;
    }
    ApplySkin(page);
}

const CSkinnedPage& CSkinnedPage::RealizedSkin() const
{
    if (m_skinPending)
        ApplySkin(const_cast<CSkinnedPage&>(*this));
    return *this;
}

void CSkinnedPage::LoadPicturesWhenShown()
{
    if (m_hWnd && !::IsWindowVisible(m_hWnd)) {
        m_picturesPending = true;
        return;
    }
    m_picturesPending = false;
    OnPicturesDue();
}

void CSkinnedPage::RealizePictures()
{
    if (!m_picturesPending)
        return;
    m_picturesPending = false;
    OnPicturesDue();
}

namespace {

// The shape of each background picture, cut once: a page that takes a
// picture again (a language switched back) reuses it. Keyed by the
// picture's id and size, as the same id may come in another size.
const RegionRects& SkinShape(UINT id, HBITMAP bitmap)
{
    static std::map<std::tuple<UINT, LONG, LONG>, RegionRects> shapes;
    BITMAP bm{};
    ::GetObjectW(bitmap, sizeof bm, &bm);
    const auto key = std::make_tuple(id, bm.bmWidth, bm.bmHeight);
    auto it = shapes.find(key);
    if (it == shapes.end())
        it = shapes.emplace(key, BuildRegionFromSkinBitmap(bitmap)).first;
    return it->second;
}

} // namespace

void ApplySkin(CSkinnedPage& page)
{
    page.m_skinPending = false;
    // The skin the window already has (start-up skins each page once for its
    // creation and once for the stored language, often the same one).
    if (page.m_hWnd && page.m_background && page.m_appliedId == page.m_backgroundId &&
        page.m_appliedDpi == page.m_dpi)
        return;
    const RegionRects* shape = nullptr;
    if (page.m_background && page.m_offscreen.GetSafeHdc() &&
        ReloadSkinBitmap(page.m_backgroundId, page.m_heldId, page.m_background.get(), page.m_dpi)) {
        // Another language's picture mostly has the size of the one on show:
        // it is decoded into the same bitmap, which stays selected.
        page.m_heldId = page.m_backgroundId;
        shape = &SkinShape(page.m_backgroundId, page.m_background.get());
    } else {
        // A reload that failed may have left anything in the bitmap.
        page.m_heldId = 0;
        // Three bytes a pixel, as the picture is stored: a quarter less memory
        // than a screen-depth copy for the largest pictures the panel keeps.
        fw::UniqueBitmap bitmap(LoadSkinBitmap(page.m_backgroundId, BitmapKind::DibSection, page.m_dpi));
        if (!bitmap)
            return; // a missing background keeps the skin the page has
        shape = &SkinShape(page.m_backgroundId, bitmap.get());
        page.ReleaseSkin();
        {
            fw::ScopedWindowDC screen(page.m_hWnd);
            page.m_offscreen.CreateCompatibleDC(screen.get());
        }
        if (page.m_offscreen.GetSafeHdc())
            page.m_offscreenSelect.emplace(page.m_offscreen.GetSafeHdc(), bitmap.get());
        page.m_background = std::move(bitmap);
        page.m_heldId = page.m_backgroundId;
    }
    page.m_skinWidth = shape->width;
    page.m_skinHeight = shape->height;
    if (!page.m_hWnd)
        return;
    // Another language's picture mostly has the size the window has.
    const RECT rc = page.GetWindowRect();
    if (rc.right - rc.left != shape->width || rc.bottom - rc.top != shape->height)
        page.SetWindowPos(nullptr, 0, 0, shape->width, shape->height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A pixel format the scan does not read leaves the window rectangular.
    fw::UniqueRgn region(shape->supported ? CreateRegionFromRects(*shape) : nullptr);
    // On success the window owns the region.
    if (::SetWindowRgn(page.m_hWnd, region.get(), FALSE))
        region.release();
    page.m_appliedId = page.m_backgroundId;
    page.m_appliedDpi = page.m_dpi;
}

void PlaceControl(CSkinnedPage& page, HWND control, int x, int y)
{
    if (!control || !page.m_hWnd)
        return;
    // (x, y) counts from the page window's own top-left corner.
    RECT pageRect = page.GetWindowRect();
    POINT pt{pageRect.left + ScaleFigure(x, page.GetDpi()), pageRect.top + ScaleFigure(y, page.GetDpi())};
    ::MapWindowPoints(nullptr, ::GetParent(control), &pt, 1);
    ::SetWindowPos(control, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A hidden page is painted whole when it shows.
    if (::IsWindowVisible(page.m_hWnd))
        ::InvalidateRect(control, nullptr, TRUE);
}

void SizeControl(CSkinnedPage& page, HWND control, int width, int height)
{
    if (!control)
        return;
    ::SetWindowPos(control, nullptr, 0, 0, ScaleFigure(width, page.GetDpi()), ScaleFigure(height, page.GetDpi()),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CSkinnedPage::~CSkinnedPage()
{
    ReleaseSkin();
}

BOOL CSkinnedPage::OnInitDialog()
{
    // The scale of the monitor the page is created on; its controls are
    // placed and their pictures loaded at it.
    m_dpi = m_wantedDpi = WindowDpi(m_hWnd);
    return CDialog::OnInitDialog();
}

void CSkinnedPage::SetDpi(UINT dpi)
{
    if (dpi == 0)
        return;
    m_wantedDpi = dpi;
    if (m_hWnd && ::IsWindowVisible(m_hWnd))
        ApplyDpi();
}

void CSkinnedPage::ApplyDpi()
{
    if (m_wantedDpi == m_dpi)
        return;
    m_dpi = m_wantedDpi;
    OnDpiChanged();
    // The new picture, size and shape; SetWindowPos keeps the top-left corner.
    ApplySkin(*this);
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CSkinnedPage::ReleaseSkin()
{
    m_offscreenSelect.reset();
    m_offscreen.DeleteDC();
    m_background.reset();
    m_heldId = 0;
    m_appliedId = 0;
}

void CSkinnedPage::StartWindowDrag()
{
    // The system's move loop runs inside this call until the button is released.
    ::ReleaseCapture();
    SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(::GetMessagePos()));
}

LRESULT CSkinnedPage::OnEraseBkgnd(HDC dc)
{
    RealizedSkin();
    if (!m_offscreen.GetSafeHdc())
        return Default(); // no skin yet: the dialog's own background
    ::BitBlt(dc, 0, 0, m_skinWidth, m_skinHeight, m_offscreen.GetSafeHdc(), 0, 0, SRCCOPY);
    return TRUE;
}

LRESULT CSkinnedPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
    case WM_SHOWWINDOW:
        // Sent before the page appears: a scale, a skin or pictures that
        // waited are taken now, so the first paint is the one an immediate
        // change would have given.
        if (wp) {
            ApplyDpi();
            RealizedSkin();
            RealizePictures();
        }
        return CDialog::WindowProc(msg, wp, lp);
    case WM_DPICHANGED: {
        // The system moved the page to a monitor of another scale. Its
        // suggested rectangle (lParam) is not taken: the page's size comes
        // from its pictures, and it keeps its top-left corner. The main
        // dialog decides what follows for the other pages and the tray icon.
        HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
        ::SendMessageW(owner ? owner : m_hWnd, WM_PAGE_DPI_CHANGED, LOWORD(wp), reinterpret_cast<LPARAM>(m_hWnd));
        return 0;
    }
    case WM_PAGE_DPI_CHANGED:
        // A page on its own (no main dialog above it) takes the scale itself.
        SetDpi(static_cast<UINT>(wp));
        return 0;
    case WM_LBUTTONDBLCLK:
        // The dialog class asks for double clicks; on a page the second click
        // of a quick pair is a press like the first (a lamp toggled twice
        // quickly must end where it started).
        return WindowProc(WM_LBUTTONDOWN, wp, lp);
    default:
        return CDialog::WindowProc(msg, wp, lp);
    }
}
