#include "keymgr/pages/pin/ChangePINPage.h"

#include "common/WipePin.h"
#include "common/win32/window/WaitCursor.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/pages/resource.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/softkbd/SoftKeyboard.h"
#include "keymgr/shell/softkbd/SoftKeyboardState.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/OpenedToken.h"

namespace {

const int kFieldIds[PIN_FIELD_COUNT] = {IDC_PIN_OLD, IDC_PIN_NEW, IDC_PIN_AGAIN};

std::string Text(const char *key)
{
    char text[512] = "";
    LoadText("ChangePINPage", key, text, sizeof(text));
    return text;
}

int FieldIndex(int id)
{
    for (int i = 0; i < PIN_FIELD_COUNT; ++i)
        if (kFieldIds[i] == id)
            return i;
    return -1;
}

} // namespace

CChangePINPage::CChangePINPage() : CPropertyPage(IDD_PAGE_PIN), m_token(), m_checkSuppressed(false) {}

CChangePINPage::~CChangePINPage()
{
    WipeFields();
    for (int i = 0; i < PIN_FIELD_COUNT; ++i)
        WipePin(&m_last[i]);
}

void CChangePINPage::OnInitPage()
{
    EnableItem(IDC_PIN_APPLY, false);
    SetItemText(IDOK, Text("IDS_HIDE").c_str());
    SetItemText(IDC_PIN_APPLY, Text("IDC_BUTTON_CHANGE_PIN").c_str());
    SetItemText(IDC_PIN_NOTE, Text("IDS_TIPS_TALLOWS").c_str());
    for (int i = 0; i < PIN_FIELD_COUNT; ++i)
        SendDlgItemMessageA(m_hWnd, kFieldIds[i], EM_LIMITTEXT, PIN_FIELD_LIMIT, 0);
}

LRESULT CChangePINPage::OnSetActive()
{
    Activate();
    return 0;
}

void CChangePINPage::Activate()
{
    if (!m_hWnd)
        return;
    CloseSoftKeyboard();
    CWaitCursor wait;
    SetActivePageIndex(PAGE_PIN);
    // The fields are emptied with it: what is typed from now on is for
    // this token.
    m_token = CaptureOpenedToken();
    SetItemText(IDC_PIN_OLD_CAPTION, Text("IDS_OLD_USER_PIN").c_str());
    SetItemText(IDC_PIN_NEW_CAPTION, Text("IDS_NEW_USER_PIN").c_str());
    SetItemText(IDC_PIN_AGAIN_CAPTION, Text("IDS_CONFIRM_NEW_USER_PIN").c_str());
    for (int i = 0; i < PIN_FIELD_COUNT; ++i)
        EmptyField(i);
    WipeFields();
    SetItemText(IDC_PIN_APPLY, Text("IDS_CHANGE_USER_PIN").c_str());
}

void CChangePINPage::TakeFields()
{
    for (int i = 0; i < PIN_FIELD_COUNT; ++i) {
        char text[PIN_FIELD_LIMIT + 1];
        int n = GetDlgItemTextA(m_hWnd, kFieldIds[i], text, sizeof(text));
        if (n < 0)
            n = 0;
        WipePin(&m_fields[i]);
        m_fields[i].assign(text, (size_t)n);
        SecureZeroMemory(text, sizeof(text));
    }
}

void CChangePINPage::WipeFields()
{
    for (int i = 0; i < PIN_FIELD_COUNT; ++i)
        WipePin(&m_fields[i]);
}

// Emptying a field is the program's own change: it is not tested again.
void CChangePINPage::EmptyField(int field)
{
    bool was = m_checkSuppressed;
    m_checkSuppressed = true;
    SetDlgItemTextA(m_hWnd, kFieldIds[field], "");
    WipePin(&m_last[field]);
    m_checkSuppressed = was;
}

void CChangePINPage::CheckInput(int changed)
{
    TakeFields();
    int mode = 0;
    if (!m_checkSuppressed && Tok::ZRGetSoftKeyBoardMode(&mode) != 0)
        mode = 0;
    PinJudge judge;
    judge.isInputNumber = [](const char *text) { return Tok::ZRIsInputNumber(text); };
    judge.grade = [](const char *text) { return Tok::ZRGetPWSGrade(text, (int)PIN_GRADE_SCALE); };
    std::string typed = PinTypedText(m_last[changed], m_fields[changed]);
    PinInputOutcome outcome = CheckPinInput(m_fields, changed, typed, m_checkSuppressed, mode, ScreenKeyInput != 0,
                                            MinPinLen, MaxPinLen, judge);
    WipePin(&typed);
    // Set before any box below: a change while it is open is judged against it.
    WipePin(&m_last[changed]);
    m_last[changed] = m_fields[changed];
    WipeFields();
    if (outcome.oldGradeKey)
        SetItemText(IDC_PIN_OLD_GRADE, Text(outcome.oldGradeKey).c_str());
    if (outcome.newGradeKey)
        SetItemText(IDC_PIN_NEW_GRADE, Text(outcome.newGradeKey).c_str());
    if (outcome.clearScreenKeyInput)
        InterlockedExchange(&ScreenKeyInput, 0);
    if (outcome.applyDecided)
        EnableItem(IDC_PIN_APPLY, outcome.applyEnabled);
    if (outcome.messageKey) {
        MessageBoxA(m_hWnd, Text(outcome.messageKey).c_str(), UserTitle, MB_OK | MB_ICONEXCLAMATION);
        EmptyField(outcome.emptyField);
    }
}

void CChangePINPage::FieldFocused(int id)
{
    SoftKeyboardTarget = GetForegroundWindow();
    ShowOnScreenKeyboard();
    HWND field = GetDlgItem(m_hWnd, id);
    if (field && GetFocus() != field)
        SetFocus(field);
}

void CChangePINPage::Apply()
{
    m_checkSuppressed = true;
    TakeFields();
    // A copy: a refresh while a box below is open re-activates the page,
    // which then takes whatever token has become current.
    const OpenedToken token = m_token;
    if (m_fields[PIN_FIELD_NEW] != m_fields[PIN_FIELD_AGAIN]) {
        WipeFields();
        MessageBoxA(m_hWnd, Text("IDS_NEW_PIN_NOT_EQUAL").c_str(), UserTitle, MB_OK | MB_ICONEXCLAMATION);
        EnableItem(IDC_PIN_APPLY, false);
        EmptyField(PIN_FIELD_NEW);
        EmptyField(PIN_FIELD_AGAIN);
        SetFocus(GetDlgItem(m_hWnd, IDC_PIN_NEW));
        m_checkSuppressed = false;
        return;
    }
    CWaitCursor wait;
    ReadOpenedTokenRetries(token);
    uint8_t triesLeft = 0;
    uint32_t rc = ChangeOpenedTokenPin(token, m_fields[PIN_FIELD_OLD].c_str(), m_fields[PIN_FIELD_NEW].c_str(),
                                       &triesLeft);
    WipeFields();

    PinChangeTexts texts;
    texts.success = Text("IDS_CHANGE_USER_PIN_SUCCESS");
    texts.pinError = Text("IDS_USER_PIN_ERR");
    texts.retryNum = Text("IDS_RETRYNUM");
    texts.retryPrompt = Text("IDS_RETRYNUMPROMPTING");
    texts.locked = Text("IDS_USER_PIN_LOCKED");
    texts.toContactor = Text("IDS_TO_CONTACTOR");
    texts.fail = Text("IDS_CHANGE_USER_PIN_FAIL");
    PinChangeOutcome outcome = ComposePinChangeOutcome(rc, triesLeft, texts);

    bool rereadRetries = true;
    if (outcome.emptyAll)
        for (int i = 0; i < PIN_FIELD_COUNT; ++i)
            EmptyField(i);
    MessageBoxA(m_hWnd, outcome.text.c_str(), UserTitle, MB_OK | (outcome.exclamation ? MB_ICONEXCLAMATION : 0));
    if (outcome.writeTag && WriteOpenedTokenPinTag(token) != 0)
        rereadRetries = false;
    if (outcome.emptyOld) {
        EmptyField(PIN_FIELD_OLD);
        SetFocus(GetDlgItem(m_hWnd, IDC_PIN_OLD));
    }
    if (rereadRetries)
        ReadOpenedTokenRetries(token);
    m_checkSuppressed = false;
}

void CChangePINPage::Hide()
{
    // The page's top window is the main window; the frame is not ours to include.
    ShowWindow(GetAncestor(m_hWnd, GA_ROOT), SW_HIDE);
    CloseSoftKeyboard();
}

bool CChangePINPage::PreTranslateMessage(MSG *msg)
{
    // A click into the field that has the focus gives no focus notice, and
    // the keyboard it needs may be minimised.
    if (msg->message == WM_LBUTTONDOWN && m_hWnd && FieldIndex(GetDlgCtrlID(msg->hwnd)) >= 0 &&
        GetParent(msg->hwnd) == m_hWnd)
        RestoreOnScreenKeyboard();
    if (!m_hWnd || msg->wParam != VK_RETURN || !IsWindowVisible(m_hWnd))
        return false;
    if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd))
        return false;
    HWND focus = GetFocus();
    if (focus == GetDlgItem(m_hWnd, IDOK))
        return false;
    HWND apply = GetDlgItem(m_hWnd, IDC_PIN_APPLY);
    SetFocus(apply);
    SendMessageA(m_hWnd, DM_SETDEFID, IDC_PIN_APPLY, 0);
    if (msg->message == WM_KEYDOWN && IsWindowEnabled(apply))
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PIN_APPLY, BN_CLICKED), (LPARAM)apply);
    return msg->message == WM_KEYDOWN || msg->message == WM_CHAR || msg->message == WM_KEYUP;
}

INT_PTR CChangePINPage::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        if (FieldIndex(id) >= 0 && code == EN_CHANGE) {
            CheckInput(FieldIndex(id));
            return TRUE;
        }
        if (FieldIndex(id) >= 0 && code == EN_SETFOCUS) {
            FieldFocused(id);
            return TRUE;
        }
        if (id == IDC_PIN_APPLY && code == BN_CLICKED) {
            Apply();
            return TRUE;
        }
        if (id == IDOK && code == BN_CLICKED) {
            Hide();
            return TRUE;
        }
    }
    return CPropertyPage::RunDlgProc(msg, wParam, lParam);
}
