#include "keymgr/shell/softkbd/SoftKeyboardState.h"

HWND SoftKeyboardWindow = NULL;
bool SoftKeyboardShown = false;
HWND SoftKeyboardTarget = NULL;
volatile LONG ScreenKeyInput = 0;

void CloseSoftKeyboard()
{
    if (SoftKeyboardWindow && IsWindow(SoftKeyboardWindow))
        DestroyWindow(SoftKeyboardWindow);
    SoftKeyboardWindow = NULL;
    SoftKeyboardShown = false;
}
