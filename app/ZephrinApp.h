#pragma once
#include "Handles.h"
#include "WinApp.h"

// The application object: one panel at a time, then the main dialog runs modally.
class CZephrinApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    fw::UniqueKernelHandle m_instanceMutex; // closed at process end
};
