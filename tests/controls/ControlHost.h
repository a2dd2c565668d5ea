#pragma once
// A real top-level window that hosts the controls under test: a framework
// window (so notifications are reflected to the controls, as on a page) that
// records the messages the controls post or send to it.
#include "Wnd.h"

#include <string>
#include <vector>

struct RecordedMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

class ControlHost : public CWnd {
public:
    // A visible window of client size w x h at (x, y) on the screen, painted
    // in `background`.
    ControlHost(int x, int y, int w, int h, COLORREF background = RGB(40, 60, 90));
    ~ControlHost() override;

    // Creates a child control of a window class with an id at pixel position.
    HWND AddChild(const wchar_t* cls, int id, DWORD style, int x, int y, int w, int h, const wchar_t* text = L"");

    // Pumps pending messages, then returns (and forgets) what was recorded.
    std::vector<RecordedMessage> Take();
    void Clear() { Take(); }

    COLORREF m_background;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::vector<RecordedMessage> m_log;
};

// Live GDI objects of this process. The Windows count (GetGuiResources) is
// not available under Wine, so this probes every slot of the GDI handle table
// (Wine accepts a handle given by its table index alone).
int CountGdiObjects();

// Colour of a window's client pixel as painted.
COLORREF ScreenPixel(HWND wnd, int x, int y);

// Mouse messages sent straight to a control, in its client coordinates.
void SendPress(HWND wnd, int x, int y);
void SendMove(HWND wnd, int x, int y);
void SendRelease(HWND wnd, int x, int y);
