#pragma once
// The panel's icon in the notification area. From Add until Remove the icon
// is wanted: a restart of the notification area (which forgets every icon)
// brings it back through Restore. The icon goes with the object at the
// latest, so no dead icon stays behind however its owner ends.
#include <windows.h>
#include <shellapi.h>

class CTrayIcon {
public:
    CTrayIcon() = default;
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Puts the icon in the area; its mouse messages come to `owner` as
    // `callbackMessage` with `id` in wParam. The owner runs elevated, so it
    // is also let through the area's restart broadcast. True when the area
    // took the icon.
    bool Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const wchar_t* tip);
    // Shows another picture (the icon at a new display scale) where the
    // icon is; a later restart of the area brings back this one. The icon
    // given must live until the next change or Remove.
    void SetIcon(HICON icon);
    // Takes the icon out for good: a later restart of the area leaves it out.
    void Remove();
    // The area was (re)started: adds the icon again while it is wanted.
    void Restore();

    bool IsAdded() const { return m_added; }
    bool IsWanted() const { return m_wanted; }
    // The picture the area was last given.
    HICON GetIcon() const { return m_data.hIcon; }

private:
    NOTIFYICONDATAW m_data{};
    bool m_added = false;
    bool m_wanted = false; // from Add until Remove, kept across restarts of the area
};

// The shell's broadcast after the notification area was (re)created.
UINT TaskbarCreatedMessage();
