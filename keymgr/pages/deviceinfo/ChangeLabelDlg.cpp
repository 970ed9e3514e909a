#include "keymgr/pages/deviceinfo/ChangeLabelDlg.h"

#include "keymgr/library/TokenCalls.h"
#include "keymgr/pages/deviceinfo/DeviceInfoRules.h"
#include "keymgr/pages/pin/PinRules.h"
#include "keymgr/pages/resource.h"
#include "keymgr/shell/StartupNames.h"

CChangeLabelDlg::CChangeLabelDlg(const OpenedToken &token) : CDialog(IDD_CHANGE_LABEL), m_token(token) {}

CChangeLabelDlg::~CChangeLabelDlg()
{
    WipePin(&m_pin);
}

void CChangeLabelDlg::CloseUnwritten()
{
    if (m_hWnd)
        EndDialog(m_hWnd, IDCANCEL);
}

// The field's text into out; the buffer it passed through is wiped (the PIN
// field goes through here too).
static void TakeItemText(HWND dialog, int id, std::string *out)
{
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    text[sizeof(text) - 1] = '\0';
    WipePin(out);
    out->assign(text);
    WipePin(text, sizeof(text));
}

void CChangeLabelDlg::TakeFields()
{
    TakeItemText(m_hWnd, IDC_LABEL_EDIT, &m_label);
    TakeItemText(m_hWnd, IDC_LABEL_PIN, &m_pin);
}

void CChangeLabelDlg::UpdateOk()
{
    TakeFields();
    EnableItem(IDOK, LabelDialogOkAllowed(m_label.c_str(), m_pin.c_str(), MinPinLen, MaxPinLen));
}

INT_PTR CChangeLabelDlg::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        char text[256];
        LoadText("ChangeLabelDlg", "IDC_STATIC_PIN", text, sizeof(text));
        SetItemText(IDC_LABEL_PIN_CAPTION, text);
        LoadText("ChangeLabelDlg", "IDC_STATIC_LABEL", text, sizeof(text));
        SetItemText(IDC_LABEL_CAPTION, text);
        LoadText("ChangeLabelDlg", "IDOK", text, sizeof(text));
        SetItemText(IDOK, text);
        LoadText("ChangeLabelDlg", "IDCANCEL", text, sizeof(text));
        SetItemText(IDCANCEL, text);
        char revise[128] = "", name[128] = "";
        LoadText("ChangeLabelDlg", "IDS_REVISE", revise, sizeof(revise));
        LoadText("ChangeLabelDlg", "IDS_NAME", name, sizeof(name));
        std::string title = std::string(revise) + HWName + name;
        SetWindowTextA(m_hWnd, title.c_str());
        LoadText("ChangeLabelDlg", "IDS_TIPS_TALLOWS", text, sizeof(text));
        SetItemText(IDC_LABEL_NOTE, text);
        SendDlgItemMessageA(m_hWnd, IDC_LABEL_EDIT, EM_LIMITTEXT, 32, 0);
        SendDlgItemMessageA(m_hWnd, IDC_LABEL_PIN, EM_LIMITTEXT, 128, 0);
        UpdateOk();
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && (LOWORD(wParam) == IDC_LABEL_EDIT || LOWORD(wParam) == IDC_LABEL_PIN)) {
            UpdateOk();
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK) {
            TakeFields();
            // OK is only reachable (Enter included) when the rule allows it.
            if (!LabelDialogOkAllowed(m_label.c_str(), m_pin.c_str(), MinPinLen, MaxPinLen))
                return TRUE;
            EndDialog(m_hWnd, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(m_hWnd, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
