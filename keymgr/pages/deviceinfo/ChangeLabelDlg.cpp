#include "keymgr/pages/deviceinfo/ChangeLabelDlg.h"

#include "common/WipePin.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/pages/deviceinfo/DeviceInfoRules.h"
#include "keymgr/pages/resource.h"
#include "keymgr/shell/StartupNames.h"

namespace {

// The text for a label with a character the code page lacks: written, it
// would reach the token as '?'.
const char kLabelNotInCodePage[] = "名字中有无法保存的字符，请修改后再试！";

} // namespace

CChangeLabelDlg::CChangeLabelDlg(const OpenedToken &token)
    : CDialog(IDD_CHANGE_LABEL), m_token(token), m_labelFits(true)
{
    // Typed Chinese arrives whole only through a Unicode edit and loop.
    m_wideText = true;
}

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

// The label as the code page writes it, and whether every character was in it.
static bool TakeLabel(HWND dialog, std::string *out)
{
    WCHAR wide[64] = L"";
    int n = GetDlgItemTextW(dialog, IDC_LABEL_EDIT, wide, 64);
    out->clear();
    if (n <= 0)
        return true;
    char bytes[130] = "";
    BOOL lost = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, n, bytes, sizeof(bytes) - 1, NULL, &lost);
    if (length <= 0)
        return false;
    out->assign(bytes, (size_t)length);
    return !lost;
}

void CChangeLabelDlg::TakeFields()
{
    m_labelFits = TakeLabel(m_hWnd, &m_label);
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
            if (!m_labelFits) {
                MessageBoxA(m_hWnd, kLabelNotInCodePage, UserTitle, MB_OK | MB_ICONEXCLAMATION);
                SetFocus(GetDlgItem(m_hWnd, IDC_LABEL_EDIT));
                return TRUE;
            }
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
