#include "keymgr/shell/ZVAppView.h"

#include "keymgr/shell/resource.h"

CZVAppView::CZVAppView() : CDialog(IDD_ZVAPP_FORM) {}

bool CZVAppView::Create(HWND frame)
{
    HWND h = CreateModeless(frame);
    if (!h)
        return false;
    ShowWindow(h, SW_SHOW);
    return true;
}

bool CZVAppView::PreTranslateMessage(MSG *msg)
{
    return m_hWnd && IsDialogMessageA(m_hWnd, msg);
}

INT_PTR CZVAppView::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    }
    return FALSE;
}
