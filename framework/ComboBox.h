#pragma once
#include "Wnd.h"

#include <string>

// A combo box control.
class CComboBox : public CWnd {
public:
    int AddString(const std::wstring& text)
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int DeleteString(int index) { return static_cast<int>(SendMessage(CB_DELETESTRING, index, 0)); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, index, 0)); }
    int FindStringExact(int start, const std::wstring& text) const
    {
        return static_cast<int>(
            ::SendMessageW(m_hWnd, CB_FINDSTRINGEXACT, start, reinterpret_cast<LPARAM>(text.c_str())));
    }
    std::wstring GetLBText(int index) const;
};
