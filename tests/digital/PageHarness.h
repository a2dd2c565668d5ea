#pragma once
// What the tests of the Digital, Hp and Info pages share: a stand-in for the
// main dialog that records the page-change requests a page sends it, the
// simulated card's journal, and presses on a page that may start a window move.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pagetests {

// A hidden top-level window that owns the page under test, as the main
// dialog does, and records WM_MOVE_MAIN and WM_SHOW_PAGE in arrival order.
class OwnerWindow {
public:
    struct Request {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    OwnerWindow();
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND hwnd() const { return m_hwnd; }
    const std::vector<Request>& requests() const { return m_requests; }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd = nullptr;
    std::vector<Request> m_requests;
};

// One call the simulated card received.
struct CardCall {
    std::string op;
    std::vector<int32_t> args;
    bool operator==(const CardCall&) const = default;
};
std::vector<CardCall> CardJournal();
// The journal without the calls whose name is `op`.
std::vector<CardCall> CardJournalWithout(const std::string& op);
std::string Describe(const std::vector<CardCall>& calls);

// Presses the left button on the page at client (x, y), as the window system
// delivers a press. A release is queued first: a press that starts the
// system's window move stays in the move loop until a release arrives.
// Returns true when the press started a window move (the loop took the release).
bool PressOnPage(HWND page, int x, int y);

// The centre of a child control in its parent's client coordinates.
POINT ChildCentre(HWND parent, int id);
RECT ChildRect(HWND parent, int id);

// Offers a key-down aimed at `target` to the panel's message filter, as the
// panel's message loop does, and dispatches it when nothing took it. What the
// key did shows in the page's state afterwards, which the caller checks.
void SendKeyThroughLoop(HWND target, UINT vk);

} // namespace pagetests
