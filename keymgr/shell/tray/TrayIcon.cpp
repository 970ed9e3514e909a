#include "keymgr/shell/tray/TrayIcon.h"

#include "common/BoundedCopy.h"
#include "common/win32/Module.h"
#include "keymgr/shell/resource.h"

#include <shellapi.h>

bool TrayIconAdd(HWND owner, UINT id, const char *tip)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_CALLBACK;
    data.hIcon = LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_TOKEN));
    CopyBounded(data.szTip, sizeof(data.szTip), tip);
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool TrayIconDelete(HWND owner, UINT id)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}
