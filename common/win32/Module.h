// The module whose resources the windows use (the program itself).
#pragma once

#include <windows.h>

HINSTANCE AppInstance();
void SetAppInstance(HINSTANCE instance);
