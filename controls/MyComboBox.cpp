#include "MyComboBox.h"

bool CMyComboBox::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }
LRESULT CMyComboBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return CComboBox::WindowProc(msg, wp, lp); }
