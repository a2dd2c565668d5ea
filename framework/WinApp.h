#pragma once
#include <windows.h>

class CWnd;

// The application object: InitInstance runs the program; returning FALSE
// means no further message loop is run and the process ends.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    int Run();

    static CWinApp* Current();
    CWnd* m_pMainWnd = nullptr;
};
