// The on-screen keyboard's process-wide state: one keyboard at a time.
#pragma once

#include <windows.h>

extern HWND SoftKeyboardWindow;
extern bool SoftKeyboardShown;
extern HWND SoftKeyboardTarget;
extern volatile LONG ScreenKeyInput;

// Destroys the keyboard window if it is open and clears its shown flag.
void CloseSoftKeyboard();
