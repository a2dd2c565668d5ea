#pragma once
// Owning wrappers for Win32 handles: ownership is in the type, so every early
// return releases what was created.
#include <windows.h>
#include <utility>

namespace fw {

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : m_h(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept
    {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    T get() const { return m_h; }
    // For out-parameters: closes the current handle first.
    T* put()
    {
        reset();
        return &m_h;
    }
    explicit operator bool() const { return !Traits::IsNull(m_h); }
    T release() { return std::exchange(m_h, Traits::Null()); }
    void reset(T h = Traits::Null())
    {
        if (!Traits::IsNull(m_h))
            Traits::Close(m_h);
        m_h = h;
    }

private:
    T m_h = Traits::Null();
};

template <typename T, BOOL(WINAPI* CloseFn)(T)>
struct NullTraits {
    static T Null() { return nullptr; }
    static bool IsNull(T h) { return h == nullptr; }
    static void Close(T h) { CloseFn(h); }
};

template <typename T>
struct GdiObjTraits {
    static T Null() { return nullptr; }
    static bool IsNull(T h) { return h == nullptr; }
    static void Close(T h) { ::DeleteObject(h); }
};

struct KernelTraits {
    static HANDLE Null() { return nullptr; }
    static bool IsNull(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct RegKeyTraits {
    static HKEY Null() { return nullptr; }
    static bool IsNull(HKEY h) { return h == nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};

struct ModuleTraits {
    static HMODULE Null() { return nullptr; }
    static bool IsNull(HMODULE h) { return h == nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<HFONT, GdiObjTraits<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjTraits<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, GdiObjTraits<HPEN>>;
using UniqueRgn = UniqueHandle<HRGN, GdiObjTraits<HRGN>>;
using UniqueMemDC = UniqueHandle<HDC, NullTraits<HDC, ::DeleteDC>>;
using UniqueMenu = UniqueHandle<HMENU, NullTraits<HMENU, ::DestroyMenu>>;
using UniqueIcon = UniqueHandle<HICON, NullTraits<HICON, ::DestroyIcon>>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;

// Selects a GDI object into a DC for the scope and restores the previous one,
// so nothing is ever deleted while still selected.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~ScopedSelect()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A window DC obtained with GetDC, released with ReleaseDC.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND wnd) : m_wnd(wnd), m_dc(::GetDC(wnd)) {}
    ~ScopedWindowDC()
    {
        if (m_dc)
            ::ReleaseDC(m_wnd, m_dc);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_wnd;
    HDC m_dc;
};

} // namespace fw
