#include "keymgr/pages/deviceinfo/DeviceInfoPage.h"

#include "common/WipePin.h"
#include "common/win32/window/WaitCursor.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/pages/deviceinfo/ChangeLabelDlg.h"
#include "keymgr/pages/deviceinfo/CustomerId.h"
#include "keymgr/pages/deviceinfo/DeviceInfoRules.h"
#include "keymgr/pages/resource.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/selection/TokenSelection.h"
#include "keymgr/shell/softkbd/SoftKeyboardState.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/OpenedToken.h"

#include <string.h>

namespace {

std::string Text(const char *key)
{
    char text[512] = "";
    LoadText("DeviceInfoPage", key, text, sizeof(text));
    return text;
}

} // namespace

CDeviceInfoPage::CDeviceInfoPage() : CPropertyPage(IDD_PAGE_DEVICE_INFO), m_labelDialog(NULL) {}

void CDeviceInfoPage::OnInitPage()
{
    SetItemText(IDC_INFO_LABEL_CAPTION, Text("IDC_STATIC_DEV_FORMAT_OR_USERNAME").c_str());
    SetItemText(IDC_INFO_TOTAL_CAPTION, Text("IDC_TOTAL_STATIC").c_str());
    SetItemText(IDC_INFO_FREE_CAPTION, Text("IDC_STATIC_FREE_SIZE").c_str());
    SetItemText(IDC_INFO_SERIAL_CAPTION, Text("IDC_STATIC_DEV_SERIAL_NUM").c_str());
    SetItemText(IDC_INFO_TYPE_CAPTION, Text("IDC_TYPE_STATIC").c_str());
    SetItemText(IDOK, Text("IDS_HIDE").c_str());
    SendDlgItemMessageA(m_hWnd, IDC_INFO_FREE, EM_LIMITTEXT, 32, 0);
    SendDlgItemMessageA(m_hWnd, IDC_INFO_SERIAL, EM_LIMITTEXT, 32, 0);
    SendDlgItemMessageA(m_hWnd, IDC_INFO_TOTAL, EM_LIMITTEXT, 32, 0);
}

LRESULT CDeviceInfoPage::OnSetActive()
{
    Activate();
    return 0;
}

void CDeviceInfoPage::Activate()
{
    if (!m_hWnd)
        return;
    CloseSoftKeyboard();
    CWaitCursor wait;
    SetActivePageIndex(PAGE_DEVICE_INFO);
    CurrentTokenSnapshot current = SnapshotCurrentToken();

    DeviceInfoTexts texts;
    texts.formatCaption = Text("IDC_STATIC_DEV_FORMAT_OR_USERNAME");
    texts.otherApp = StateTextOtherApp;
    texts.contactFirst = StateTextContactFirst;
    texts.refresh = StateTextRefresh;
    texts.byteUnit = Text("IDS_BYTE");
    texts.type1 = Text("IDS_ORLIN1000_TYPE");
    texts.type2 = Text("IDS_ORLIN2000_TYPE");
    texts.type3 = Text("IDS_ORLIN3000_TYPE");
    texts.unknownType = Text("IDS_UNKNOW_TYPE");
    texts.hwName = HWName;

    DeviceInfoRecord record;
    record.tokenCount = current.tokenCount;
    record.appState = current.appState;
    record.label.assign(current.label, strnlen(current.label, sizeof(current.label)));
    record.serial.assign(current.serial, strnlen(current.serial, sizeof(current.serial)));
    record.freeSize = current.freeSize;
    record.totalSize = current.totalSize;
    record.devType = current.devType;
    if (current.tokenCount != 0) {
        char id[CUSTOMER_ID_BUFFER_SIZE];
        ReadCustomerId(id);
        record.customerId = id;
    }

    DeviceInfoView view = ComposeDeviceInfo(record, texts);
    SetItemText(IDC_INFO_CHANGE_LABEL, Text("IDS_CHANGE_LABEL").c_str());
    EnableItem(IDC_INFO_CHANGE_LABEL, view.changeLabelEnabled);
    SetItemText(IDC_INFO_LABEL_CAPTION, view.caption.c_str());
    SetItemText(IDC_INFO_LABEL, view.label.c_str());
    SetItemText(IDC_INFO_FREE, view.freeText.c_str());
    SetItemText(IDC_INFO_SERIAL, view.serialText.c_str());
    SetItemText(IDC_INFO_TYPE, view.typeText.c_str());
    SetItemText(IDC_INFO_TOTAL, view.totalText.c_str());
}

void CDeviceInfoPage::ChangeLabel()
{
    // What is typed goes to this token, whatever becomes current meanwhile.
    CChangeLabelDlg dialog(CaptureOpenedToken());
    const OpenedToken &token = dialog.Token();
    uint32_t retries = 0;
    Tok::OC_GetUserPinRetryNum(0, token.reader, &retries);
    SetCurrentUserPinRetries(retries);
    m_labelDialog = &dialog;
    INT_PTR ended = dialog.DoModal(NULL);
    m_labelDialog = NULL;
    if (ended == IDOK) {
        CWaitCursor wait;
        uint8_t triesLeft = 0;
        uint32_t rc = WriteOpenedTokenLabel(token, dialog.m_pin.c_str(), dialog.m_label.c_str(), &triesLeft);
        WipePin(&dialog.m_pin);
        LabelChangeTexts texts;
        texts.revise = Text("IDS_REVISE");
        texts.name = Text("IDS_NAME");
        texts.success = Text("IDS_SUCCESS");
        texts.fail = Text("IDS_FAIL");
        texts.pinError = Text("IDS_USER_PIN_ERR");
        texts.retryNum = Text("IDS_RETRYNUM");
        texts.toContactor = Text("IDS_TO_CONTACTOR");
        texts.hwName = HWName;
        LabelChangeMessage message = ComposeLabelChangeMessage(rc, triesLeft, texts);
        MessageBoxA(m_hWnd, message.text.c_str(), UserTitle, MB_OK | (message.exclamation ? MB_ICONEXCLAMATION : 0));
    }
    CWaitCursor wait;
    retries = 0;
    Tok::OC_GetUserPinRetryNum(0, token.reader, &retries);
    SetCurrentUserPinRetries(retries);
    if ((SnapshotCurrentToken().appState & APP_STATE_PIN_MASK) && !ReadSelectedLabel())
        SetCurrentAppState(APP_STATE_UNREADABLE);
    Activate();
}

void CDeviceInfoPage::CloseLabelDialogIfTokenLeft()
{
    if (m_labelDialog && !OpenedTokenStillThere(m_labelDialog->Token()))
        m_labelDialog->CloseUnwritten();
}

INT_PTR CDeviceInfoPage::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        switch (LOWORD(wParam)) {
        case IDC_INFO_CHANGE_LABEL:
            ChangeLabel();
            return TRUE;
        case IDOK:
            ShowWindow(GetAncestor(m_hWnd, GA_ROOT), SW_HIDE); // the main window
            return TRUE;
        }
    }
    return CPropertyPage::RunDlgProc(msg, wParam, lParam);
}
