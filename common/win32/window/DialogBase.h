// The object behind a dialog procedure, shared by the dialog and the property
// page wrappers: the procedure finds the object and forwards every message.
#pragma once

#include <windows.h>

class CDialogBase {
public:
    CDialogBase() : m_hWnd(NULL) {}
    virtual ~CDialogBase() {}
    HWND Hwnd() const { return m_hWnd; }

protected:
    // Return TRUE when the message was handled, as a dialog procedure does.
    virtual INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    void SetItemText(int id, const char *text) { SetDlgItemTextA(m_hWnd, id, text ? text : ""); }
    void EnableItem(int id, bool enable) { EnableWindow(GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE); }

    // The body of every wrapper's dialog procedure. `created` is the object
    // the wrapper found in WM_INITDIALOG's lParam (ignored for other
    // messages); afterwards the window's DWLP_USER holds it.
    static INT_PTR Forward(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, CDialogBase *created);

    HWND m_hWnd;
};
