// The on-screen keyboard: a modeless dialog without owner whose clicks are
// synthesised as key presses into the target window.
#pragma once

#include <windows.h>

// Opens the keyboard of the configured layout (ZRGetSoftKeyBoardMode: 1
// numeric, 2 full, anything else none) unless one is shown already; a shown
// one that the user minimised comes back.
void ShowOnScreenKeyboard();

// Brings back the keyboard if the user minimised it; opens none.
void RestoreOnScreenKeyboard();
