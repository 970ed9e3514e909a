#include "assistant/host/CXUIApp.h"
#include "common/Module.h"

static CXUIApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    SetAppInstance(instance);
    if (!theApp.InitInstance(commandLine))
        return theApp.ExitInstance();
    theApp.Run();
    return theApp.ExitInstance();
}
