// Messages the library threads post to the main frame.
#pragma once

#include <windows.h>

enum {
    WM_ZV_TRAY = WM_USER + 100,    // 1124: wParam icon id, lParam mouse message
    WM_ZV_NOTICE = WM_USER + 101,  // 1125: wParam NoticeKind, lParam a ReaderNotice (freed by the frame)
    WM_ZV_REFRESH = WM_USER + 103, // 1127
    WM_ZV_WEBPAGES = WM_USER + 104, // 1128: wParam 1 open, 2 close
    WM_ZV_REQUEST_CERT = WM_USER + 105, // 1129: wParam 1
    // Ours: the certificate notice is ready (wParam 1 when it is the expiry
    // warning, lParam the composing job with reader and text, freed by the frame).
    WM_ZV_CERT_NOTICE_READY = WM_USER + 110,
};

enum { WEBPAGES_OPEN = 1, WEBPAGES_CLOSE = 2 };

enum { TIMER_PIN_WINDOW = 1225, TIMER_BROWSER_WATCH = 1226 };
