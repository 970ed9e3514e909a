#include "keymgr/pages/about/AboutDlg.h"

#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

INT_PTR CAboutDlg::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        char text[1024];
        LoadText("AboutDlg", "ABOUT_DLG_TITLE", text, sizeof(text));
        SetWindowTextA(m_hWnd, text);
        static const struct {
            int id;
            const char *key;
        } fields[] = {{1081, "IDC_STATIC_ADDR"},     {1113, "IDC_STATIC_TORVNAME"}, {1114, "IDC_STATIC_TORVEMAIL"},
                      {1115, "IDC_STATIC_TORVTEL"}, {1067, "IDC_STATIC_URL"},      {IDOK, "IDOK"}};
        for (const auto &f : fields) {
            LoadText("AboutDlg", f.key, text, sizeof(text));
            SetItemText(f.id, text);
        }
        return TRUE;
    }
    return CDialog::RunDlgProc(msg, wParam, lParam);
}

void ShowAboutBox(HWND owner)
{
    // The box has no parent, as the tray program's other dialogs.
    CAboutDlg dialog;
    dialog.DoModal(NULL);
}
