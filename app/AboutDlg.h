#pragma once
#include "Dialog.h"
#include "resource.h"

// The About box of the system menu.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}
};
