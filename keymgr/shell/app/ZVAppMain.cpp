#include "common/win32/Module.h"
#include "keymgr/shell/app/ZVAppApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetAppInstance(instance);
    CZVAppApp app;
    if (!app.InitInstance()) {
        app.ExitInstance();
        return 0;
    }
    app.Run();
    return app.ExitInstance();
}
