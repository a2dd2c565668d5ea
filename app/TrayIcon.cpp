#include "TrayIcon.h"

UINT TaskbarCreatedMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

CTrayIcon::~CTrayIcon()
{
    Remove();
}

bool CTrayIcon::Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const wchar_t* tip)
{
    Remove();
    m_data = NOTIFYICONDATAW{};
    m_data.cbSize = sizeof m_data;
    m_data.hWnd = owner;
    m_data.uID = id;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
    m_data.hIcon = icon;
    if (tip)
        wcsncpy_s(m_data.szTip, ARRAYSIZE(m_data.szTip), tip, _TRUNCATE);
    m_added = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    m_wanted = true;
    // An elevated program does not get the shell's "TaskbarCreated"
    // broadcast unless it lets it through.
    ::ChangeWindowMessageFilterEx(owner, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    return m_added;
}

void CTrayIcon::SetIcon(HICON icon)
{
    m_data.hIcon = icon;
    if (!m_added)
        return;
    NOTIFYICONDATAW change = m_data;
    change.uFlags = NIF_ICON;
    if (!::Shell_NotifyIconW(NIM_MODIFY, &change)) // the area lost it: add it again
        m_added = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
}

void CTrayIcon::Remove()
{
    m_wanted = false;
    if (!m_added)
        return;
    ::Shell_NotifyIconW(NIM_DELETE, &m_data);
    m_added = false;
}

void CTrayIcon::Restore()
{
    // The area has forgotten the icon: add it again, unless there never was
    // one or it was taken out.
    if (!m_wanted)
        return;
    m_added = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    if (!m_added) // the area kept it after all
        m_added = ::Shell_NotifyIconW(NIM_MODIFY, &m_data) != FALSE;
}
