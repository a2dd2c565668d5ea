#pragma once
// Owning pointer to a COM interface: one reference held and released when the
// pointer goes, so every early return releases what it obtained. Copies add a
// reference; a pointer made from a raw interface pointer adds its own, and
// attach() takes over a reference the caller already holds (what a creator
// or an out-parameter hands over).
#include <unknwn.h>

#include <type_traits>
#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    explicit ComPtr(T* p) : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.m_p) {}
    ComPtr& operator=(const ComPtr& o)
    {
        ComPtr copy(o);
        std::swap(m_p, copy.m_p);
        return *this;
    }
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept
    {
        if (this != &o) {
            reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }
    // From a pointer to a class that derives from T.
    template <typename U>
        requires(!std::is_same_v<U, T> && std::is_convertible_v<U*, T*>)
    ComPtr(ComPtr<U>&& o) noexcept : m_p(o.detach())
    {
    }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases the current pointer first.
    T** put()
    {
        reset();
        return &m_p;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    // Takes over a reference the caller holds.
    void attach(T* p)
    {
        reset();
        m_p = p;
    }
    T* detach() { return std::exchange(m_p, nullptr); }
    void reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }

private:
    T* m_p = nullptr;
};
