#include "common/win32/Module.h"

static HINSTANCE g_instance = NULL;

HINSTANCE AppInstance()
{
    return g_instance ? g_instance : GetModuleHandleA(NULL);
}

void SetAppInstance(HINSTANCE instance)
{
    g_instance = instance;
}
