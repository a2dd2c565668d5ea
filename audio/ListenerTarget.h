#pragma once
// Where a change listener tells what it heard: the window it posts to. The
// listeners' owner sets it when it registers the listener and clears it
// before it withdraws the registration; the platform's threads only read it.
#include <windows.h>

#include <atomic>

class CListenerTarget {
public:
    CListenerTarget() = default;
    CListenerTarget(const CListenerTarget&) = delete;
    CListenerTarget& operator=(const CListenerTarget&) = delete;

    void SetTarget(HWND wnd) { m_target = wnd; }
    HWND GetTarget() const { return m_target; }
    // Posts `msg` (wParam, lParam 0) to the target; nothing without one.
    void PostToTarget(UINT msg, WPARAM wp) const;

protected:
    ~CListenerTarget() = default;

private:
    std::atomic<HWND> m_target{nullptr};
};
