#pragma once
#include "Handles.h"
#include "WinApp.h"

// The application object: one panel at a time, then the main dialog runs
// modally; or, with the arguments of a settings or equalizer operation, that
// operation alone (while a panel runs too).
class CZephrinApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override { return m_exitCode; }

private:
    fw::UniqueKernelHandle m_instanceMutex; // closed at process end
    int m_exitCode = 0;
};
