#include "ComboBox.h"

#include <vector>

std::wstring CComboBox::GetLBText(int index) const
{
    LRESULT len = ::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, index, 0);
    if (len == CB_ERR || len < 0)
        return {};
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
    LRESULT got = ::SendMessageW(m_hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buf.data()));
    if (got == CB_ERR || got < 0)
        return {};
    return std::wstring(buf.data(), static_cast<size_t>(got));
}
