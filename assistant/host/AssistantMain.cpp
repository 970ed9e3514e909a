#include "assistant/host/CXUIApp.h"
#include "common/win32/Module.h"
#include "common/win32/SystemLibrary.h"

static CXUIApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // Started from a user's folder, the elevated program must never load a
    // DLL planted beside it.
    RestrictDllSearchToSystem32();
    SetAppInstance(instance);
    if (!theApp.InitInstance(commandLine))
        return theApp.ExitInstance();
    theApp.Run();
    return theApp.ExitInstance();
}
