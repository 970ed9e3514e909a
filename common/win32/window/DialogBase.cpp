#include "common/win32/window/DialogBase.h"

INT_PTR CDialogBase::Forward(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, CDialogBase *created)
{
    CDialogBase *self = reinterpret_cast<CDialogBase *>(GetWindowLongPtrA(hWnd, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        self = created;
        if (self) {
            self->m_hWnd = hWnd;
            SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self)
        return FALSE;
    INT_PTR handled;
    try {
        handled = self->RunDlgProc(msg, wParam, lParam);
    } catch (...) {
        handled = FALSE; // as if unhandled, never through the system's dialog code
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        self->m_hWnd = NULL;
    }
    return handled;
}
