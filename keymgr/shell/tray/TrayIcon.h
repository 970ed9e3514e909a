// Notification-area icons of the frame.
#pragma once

#include <windows.h>

enum {
    TRAY_ID_APPLICATION = 128, // re-added when the taskbar restarts
    TRAY_ID_TOKEN = 145,       // present while a token is in a reader
    WM_TRAY_CALLBACK = WM_USER + 100,
};

// Adds the icon (icon resource 128, callback 1124) with the tip, bounded.
bool TrayIconAdd(HWND owner, UINT id, const char *tip);
bool TrayIconDelete(HWND owner, UINT id);
