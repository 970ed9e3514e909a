// The benchmark's baseline for the assistant's start: a bare program that
// shows one modal dialog from an in-memory template ("bare dialog").
#include <windows.h>

static INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    // WM_CLOSE arrives as IDCANCEL: the benchmark closes each start.
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // DLGTEMPLATE, then empty menu and class, the title, and no controls.
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass;
        WCHAR title[12];
    } dialog = {};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME;
    dialog.header.cx = 238;
    dialog.header.cy = 89;
    lstrcpyW(dialog.title, L"bare dialog");
    DialogBoxIndirectParamA(instance, &dialog.header, NULL, BareDialogProc, 0);
    return 0;
}
