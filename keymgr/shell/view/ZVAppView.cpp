#include "keymgr/shell/view/ZVAppView.h"

#include "common/BoundedCopy.h"
#include "common/win32/CriticalSectionHold.h"
#include "common/win32/window/WaitCursor.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/pages/certs/CertManagePage.h"
#include "keymgr/pages/deviceinfo/DeviceInfoPage.h"
#include "keymgr/pages/pin/ChangePINPage.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/resource.h"
#include "keymgr/shell/selection/TokenSelection.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/view/QKCSPSheet.h"
#include "keymgr/shell/watch/DeviceWatch.h"
#include "keymgr/shell/websettings/WebSetPageHost.h"

#include <stdio.h>

namespace {

const int SHEET_TOP = 60;

std::string ViewText(const char *key)
{
    char text[512] = "";
    LoadText("ZVAppView", key, text, sizeof(text));
    return text;
}

} // namespace

CZVAppView::CZVAppView()
    : CDialog(IDD_ZVAPP_FORM), m_frameWidth(0), m_frameHeight(0), m_deviceInfo(new CDeviceInfoPage()), m_pinPage(NULL), m_certPage(NULL),
      m_webPage(NULL), m_sheet(NULL), m_lockReady(false)
{
    LoadText("ZVAppView", "IDS_CONTACT_FIRST", StateTextContactFirst, sizeof(StateTextContactFirst));
    LoadText("ZVAppView", "IDS_OTHER_APP", StateTextOtherApp, sizeof(StateTextOtherApp));
    LoadText("ZVAppView", "IDS_REFRESH", StateTextRefresh, sizeof(StateTextRefresh));
}

CZVAppView::~CZVAppView()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    delete m_sheet;
    delete m_certPage;
    delete m_pinPage;
    delete m_webPage;
    delete m_deviceInfo;
    if (m_lockReady)
        DeleteCriticalSection(&m_viewLock);
}

bool CZVAppView::Create(HWND frame)
{
    HWND h = CreateModeless(frame);
    if (!h)
        return false;
    if (!m_sheet) {
        DestroyWindow(h);
        return false;
    }
    ShowWindow(h, SW_SHOW);
    return true;
}

bool CZVAppView::CreateSheet()
{
    static char titleCert[128], titlePin[128], titleWeb[128], titleInfo[128];
    static bool fetched = false;
    if (!fetched) {
        LoadText("ZVAppView", "IDS_TABTITLE_CERTMGR", titleCert, sizeof(titleCert));
        LoadText("ZVAppView", "IDS_TABTITLE_PIN", titlePin, sizeof(titlePin));
        LoadText("ZVAppView", "IDS_TABTITLE_WEBSET", titleWeb, sizeof(titleWeb));
        LoadText("ZVAppView", "IDS_TABTITLE_DEVINFO", titleInfo, sizeof(titleInfo));
        fetched = true;
    }
    m_certPage = new CCertManagePage();
    m_pinPage = new CChangePINPage();
    m_webPage = CreateWebSetPage();
    m_certPage->SetTitle(titleCert);
    m_pinPage->SetTitle(titlePin);
    if (m_webPage)
        m_webPage->SetTitle(titleWeb);
    m_deviceInfo->SetTitle(titleInfo);
    m_sheet = new CQKCSPSheet(m_deviceInfo, m_pinPage, m_certPage, m_webPage);
    if (!m_sheet->Create(m_hWnd)) {
        delete m_sheet;
        m_sheet = NULL;
        return false;
    }
    RECT r;
    GetWindowRect(m_sheet->Hwnd(), &r);
    SetWindowPos(m_sheet->Hwnd(), NULL, 0, SHEET_TOP, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitFrameToView();
    InitializeCriticalSection(&m_viewLock);
    m_lockReady = true;
    return true;
}

void CZVAppView::FitFrameToView()
{
    RECT sheet;
    GetWindowRect(m_sheet->Hwnd(), &sheet);
    int width = sheet.right - sheet.left;
    int height = SHEET_TOP + (sheet.bottom - sheet.top);
    SetWindowPos(m_hWnd, NULL, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The prompt, list and button span the sheet's width.
    RECT button, list;
    HWND refresh = GetDlgItem(m_hWnd, IDC_VIEW_REFRESH);
    HWND devices = GetDlgItem(m_hWnd, IDC_VIEW_DEVICE_LIST);
    if (GetWindowRect(refresh, &button) && GetWindowRect(devices, &list)) {
        MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT *>(&button), 2);
        MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT *>(&list), 2);
        int buttonWidth = button.right - button.left;
        int margin = list.left;
        SetWindowPos(refresh, NULL, width - margin - buttonWidth, button.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(devices, NULL, 0, 0, width - 3 * margin - buttonWidth, 200, // height includes the drop-down
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(GetDlgItem(m_hWnd, IDC_VIEW_PROMPT), NULL, 0, 0, width - 2 * margin, 16,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND frame = GetParent(m_hWnd);
    RECT client = {0, 0, width, height};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrA(frame, GWL_STYLE)), GetMenu(frame) != NULL,
                       static_cast<DWORD>(GetWindowLongPtrA(frame, GWL_EXSTYLE)));
    int frameWidth = client.right - client.left;
    int frameHeight = client.bottom - client.top;
    SetWindowPos(frame, NULL, 0, 0, frameWidth, frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
}

void CZVAppView::InitialUpdate()
{
    HWND frame = GetParent(m_hWnd);
    SetWindowLongPtrA(frame, GWL_STYLE, GetWindowLongPtrA(frame, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_MAXIMIZEBOX));
    std::string prompt = ViewText("IDS_SEL_ONE") + " " + HWName + " " + ViewText("IDS_SAFE_DEV");
    SetItemText(IDC_VIEW_PROMPT, prompt.c_str());
    SetItemText(IDC_VIEW_REFRESH, ViewText("IDS_BUTTON_DEV_REFRESH").c_str());
    if (FillDeviceList() == 0 && SnapshotCurrentToken().tokenCount > 0) {
        SendDlgItemMessageA(m_hWnd, IDC_VIEW_DEVICE_LIST, CB_SETCURSEL, 0, 0);
        OnSelectionChanged();
    }
    CentreFrame();
}

uint32_t CZVAppView::FillDeviceList()
{
    HWND list = GetDlgItem(m_hWnd, IDC_VIEW_DEVICE_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    std::vector<std::string> listed;
    uint32_t rc = ListPresentTokens(DeviceWatch::Instance().Readers(), listed);
    for (const std::string &name : listed)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (rc != 0) {
        std::string text = ViewText("IDS_RETRY_DEV");
        MessageBoxA(m_hWnd, text.c_str(), UserTitle, MB_OK | MB_ICONQUESTION);
        return rc;
    }
    SetTokenCount(static_cast<uint32_t>(listed.size()));
    return 0;
}

void CZVAppView::Refresh()
{
    if (!m_lockReady)
        return;
    // Readers come and go (many tokens bring their own): a new one is
    // watched, one gone is no longer asked for its state.
    DeviceWatch::Instance().Relist();
    CCriticalSectionHold hold(m_viewLock);
    CWaitCursor wait;
    m_deviceInfo->CloseLabelDialogIfTokenLeft();
    if (FillDeviceList() != 0)
        return;
    HWND list = GetDlgItem(m_hWnd, IDC_VIEW_DEVICE_LIST);
    CurrentTokenSnapshot current = SnapshotCurrentToken();
    if (current.tokenCount == 1) {
        SendMessageA(list, CB_SETCURSEL, 0, 0);
    } else if (current.tokenCount > 1) {
        LRESULT found =
            SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(current.reader));
        SendMessageA(list, CB_SETCURSEL, found == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(found), 0);
    }
    OnSelectionChanged();
}

void CZVAppView::OnSelectionChanged()
{
    char reader[READER_NAME_SIZE] = "";
    HWND list = GetDlgItem(m_hWnd, IDC_VIEW_DEVICE_LIST);
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index != CB_ERR && SendMessageA(list, CB_GETLBTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof(reader)))
        SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(reader));
    if (ReadSelectedToken(reader) == SELECTION_DEFAULT_PIN_REFUSED) {
        std::string text = ViewText("ZVAPP_VERIFYPIN_ERR");
        MessageBoxA(m_hWnd, text.c_str(), UserTitle, MB_OK | MB_ICONQUESTION);
    }
    if (!m_sheet)
        return;
    CurrentTokenSnapshot current = SnapshotCurrentToken();
    ApplyPageRules(*m_sheet, current.tokenCount > 0, current.appState, current.prevAppState, current.activePageIndex);
    switch (m_sheet->ActiveTab()) {
    case PAGE_DEVICE_INFO:
        if (m_deviceInfo->Hwnd())
            m_deviceInfo->Activate();
        break;
    case PAGE_PIN:
        m_pinPage->Activate();
        break;
    case PAGE_CERTIFICATES:
        m_certPage->Activate();
        break;
    }
}

void CZVAppView::OnRefreshButton()
{
    Refresh();
    Tok::CSPUnAllIECert();
    HWND list = GetDlgItem(m_hWnd, IDC_VIEW_DEVICE_LIST);
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char reader[READER_NAME_SIZE] = "";
        if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof(reader)))
            continue;
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(reader));
        DeviceWatch::Instance().RegisterCertificates(reader);
    }
}

void CZVAppView::ActivatePage(int index)
{
    if (m_sheet)
        m_sheet->ShowTab(index);
}

bool CZVAppView::PreTranslateMessage(MSG *msg)
{
    if (m_sheet && m_sheet->PreTranslateMessage(msg))
        return true;
    return m_hWnd && IsDialogMessageA(m_hWnd, msg);
}

bool CZVAppView::FrameSize(int *width, int *height) const
{
    if (m_frameWidth <= 0 || m_frameHeight <= 0)
        return false;
    *width = m_frameWidth;
    *height = m_frameHeight;
    return true;
}

void CZVAppView::CentreFrame()
{
    HWND frame = GetParent(m_hWnd);
    RECT r, work;
    if (!frame || !GetWindowRect(frame, &r) || !SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return;
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(frame, NULL, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CZVAppView::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        CreateSheet(); // without a sheet, Create() destroys the view
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_VIEW_DEVICE_LIST && HIWORD(wParam) == CBN_SELCHANGE) {
            OnSelectionChanged();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_VIEW_REFRESH && HIWORD(wParam) == BN_CLICKED) {
            OnRefreshButton();
            return TRUE;
        }
        break;
    }
    return FALSE;
}
