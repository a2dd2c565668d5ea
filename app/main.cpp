#include "ZephrinApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CZephrinApp app;
    return app.Run();
}
