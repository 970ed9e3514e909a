#include "keymgr/shell/frame/MainFrame.h"

#include "common/BoundedCopy.h"
#include "common/win32/Module.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/pages/about/AboutDlg.h"
#include "keymgr/shell/DebugTrace.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/defaultpin/PinTagRule.h"
#include "keymgr/shell/notice/HandedPointers.h"
#include "keymgr/shell/notice/NoticeText.h"
#include "keymgr/shell/notice/ReaderNotice.h"
#include "keymgr/shell/resource.h"
#include "keymgr/shell/services/FrameServices.h"
#include "keymgr/shell/softkbd/SoftKeyboardState.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/tray/TrayIcon.h"
#include "keymgr/shell/tray/TrayMenuText.h"
#include "keymgr/shell/view/ZVAppView.h"
#include "keymgr/shell/watch/DeviceWatch.h"
#include "keymgr/shell/watch/FrameMessages.h"
#include "keymgr/shell/watch/HandlerGate.h"
#include "keymgr/shell/websettings/WebSetFile.h"

#include <objbase.h>
#include <stdlib.h>
#include <string.h>

// A handler sleeps 400 ms and makes a few library calls.
static const unsigned EXIT_HANDLER_WAIT_MS = 1500;

CMainFrame::CMainFrame()
    : m_document(NULL), m_view(NULL), m_taskbarCreatedMessage(0), m_browserPromptOn(false), m_browserTokenIn(false), m_certificateExpiring(false),
      m_lastFocus(NULL)
{
}

CMainFrame::~CMainFrame()
{
    DeviceWatch::Instance().Stop();
    if (m_hWnd)
        TrayIconDelete(m_hWnd, TRAY_ID_TOKEN);
    delete m_view;
}

bool CMainFrame::LoadFrame(CZVAppDoc *document)
{
    m_document = document;
    WNDCLASSEXA wc = {};
    wc.hInstance = AppInstance();
    wc.lpszClassName = ClassName();
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hIcon = LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_TOKEN));
    wc.hIconSm = wc.hIcon;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!RegisterWindowClass(wc))
        return false;
    HMENU menu = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    // The tool-window bit keeps the hidden frame off the taskbar.
    bool created = CreateEx(WS_EX_TOOLWINDOW, ClassName(), "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            420, 360, NULL, menu);
    if (!created && menu)
        DestroyMenu(menu);
    return created;
}

bool CMainFrame::PreTranslateMessage(MSG *msg)
{
    // The frame's own messages (its timers tick a hundred times a second)
    // belong to no dialog of the view.
    return msg->hwnd != m_hWnd && m_view && m_view->PreTranslateMessage(msg);
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_taskbarCreatedMessage && msg == m_taskbarCreatedMessage) {
        char tip[NAME_BUFFER_SIZE] = "";
        GetWindowTextA(m_hWnd, tip, sizeof(tip));
        TrayIconAdd(m_hWnd, TRAY_ID_APPLICATION, tip);
        // The new taskbar has lost the token icon too.
        if (DeviceWatch::Instance().AnyTokenPresent())
            TrayIconAdd(m_hWnd, TRAY_ID_TOKEN, UserTitle);
        PostMessageA(m_hWnd, WM_SHOWWINDOW, 0, 1);
        return 0;
    }
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(wParam, lParam);
        return 0;
    case WM_ENDSESSION:
        // The session ends, or an installer asks us to go (as the system's
        // restart manager does): the same clean exit as the menu's, unasked.
        if (wParam)
            DestroyWindow(m_hWnd);
        return 0;
    case WM_CLOSE:
        // Closing only hides: the program lives in the notification area.
        ShowWindow(m_hWnd, SW_HIDE);
        ParkFocus();
        CloseSoftKeyboard();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_hWnd, focus))
                m_lastFocus = focus;
        }
        return DefWindowProcA(m_hWnd, msg, wParam, lParam);
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_WINDOWPOSCHANGED:
        // Shown while still the active window (no activation follows): the
        // parked control gets the focus back here.
        if ((reinterpret_cast<WINDOWPOS *>(lParam)->flags & SWP_SHOWWINDOW) && !GetFocus() &&
            GetActiveWindow() == m_hWnd)
            RestoreFocus();
        return DefWindowProcA(m_hWnd, msg, wParam, lParam);
    case WM_GETMINMAXINFO: {
        int width = 0, height = 0;
        if (m_view && m_view->FrameSize(&width, &height)) {
            MINMAXINFO *info = reinterpret_cast<MINMAXINFO *>(lParam);
            info->ptMinTrackSize.x = info->ptMaxTrackSize.x = width;
            info->ptMinTrackSize.y = info->ptMaxTrackSize.y = height;
        }
        return 0;
    }
    case WM_ZV_TRAY:
        OnTrayCallback(static_cast<UINT>(lParam));
        return 0;
    case WM_ZV_NOTICE:
        return OnNotice(wParam, lParam);
    case WM_ZV_REFRESH:
        OnRefresh();
        return 0;
    case WM_ZV_CERT_NOTICE_READY:
        OnCertificateNoticeReady(wParam != 0, lParam);
        return 0;
    case WM_ZV_WEBPAGES:
        return OnWebPages(wParam);
    case WM_ZV_REQUEST_CERT:
        if (wParam == 1)
            OnRequestCertificate();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CMainFrame::OnCreate()
{
    m_view = new CZVAppView();
    if (!m_view->Create(m_hWnd)) {
        delete m_view;
        m_view = NULL;
        return -1;
    }
    // Without the library these cannot run; the program still starts so
    // that the user sees what is missing.
    if (TokenEntryAvailable(TE_ZVCreateCachedPin) && Tok::ZVCreateCachedPin() != 0)
        return -1;
    if (TokenEntryAvailable(TE_ZVCreateCachedCSP) && Tok::ZVCreateCachedCSP() != 0)
        return -1;
    DeviceWatch::Instance().Start(m_hWnd);

    uint32_t pinWindowMs = 0;
    // A zero period would close the library's PIN window as soon as it opens.
    if (Tok::ZRGetVerifyPINTime(&pinWindowMs) == 0 && pinWindowMs > 0)
        SetTimer(m_hWnd, TIMER_PIN_WINDOW, pinWindowMs, NULL);
    SetTimer(m_hWnd, TIMER_BROWSER_WATCH, 10, NULL);

    LocalizeFrameMenu();
    m_taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    return 0;
}

void CMainFrame::LocalizeFrameMenu()
{
    static char popupTitle[128];
    static char aboutItem[128];
    static bool loaded = false;
    if (!loaded) {
        LoadText("MainFrm", "IDS_MAINFRM_MENU_0", popupTitle, sizeof(popupTitle));
        LoadText("MainFrm", "IDS_MAINFRM_MENU_SUB_0", aboutItem, sizeof(aboutItem));
        loaded = true;
    }
    HMENU menu = GetMenu(m_hWnd);
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popupTitle[0] && popup)
        ModifyMenuA(menu, 0, MF_BYPOSITION | MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), popupTitle);
    if (popup && aboutItem[0])
        ModifyMenuA(popup, 0, MF_BYPOSITION | MF_STRING, ID_APP_ABOUT, aboutItem);
    DrawMenuBar(m_hWnd);
}

void CMainFrame::OnSysCommand(WPARAM command, LPARAM lParam)
{
    switch (command & 0xFFF0) {
    case SC_MINIMIZE:
    case SC_CLOSE:
        ShowWindow(m_hWnd, SW_HIDE);
        ParkFocus();
        CloseSoftKeyboard();
        return;
    }
    DefWindowProcA(m_hWnd, WM_SYSCOMMAND, command, lParam);
}

// Coming back to the front, the frame gives the focus back to the control
// that had it, as a dialog does: the field being typed in (the soft
// keyboard's keys go to it), not the frame itself.
void CMainFrame::RestoreFocus()
{
    HWND control = m_lastFocus;
    if (control && IsWindow(control) && IsChild(m_hWnd, control) && IsWindowVisible(control) &&
        IsWindowEnabled(control))
        SetFocus(control);
}

void CMainFrame::ParkFocus()
{
    if (IsWindowVisible(m_hWnd))
        return;
    HWND focus = GetFocus();
    if (focus && focus != m_hWnd && IsChild(m_hWnd, focus)) {
        m_lastFocus = focus;
        SetFocus(NULL);
    }
}

void CMainFrame::BringToFront()
{
    SetForegroundWindow(m_hWnd);
}

void CMainFrame::OnCommand(UINT id)
{
    switch (id) {
    case ID_SHOW_MANAGER:
        if (m_view)
            m_view->CentreFrame();
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
        BringToFront();
        break;
    case ID_REFRESH:
        if (m_view && m_view->Hwnd())
            PostMessageA(m_view->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_VIEW_REFRESH, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(m_view->Hwnd(), IDC_VIEW_REFRESH)));
        break;
    case ID_APP_EXIT_CONFIRM:
        ConfirmExit();
        break;
    case ID_APP_ABOUT:
        ShowAboutBox(m_hWnd);
        break;
    }
}

void CMainFrame::ConfirmExit()
{
    char confirm[256] = "";
    LoadText("MainFrm", "IDS_CONFIRM_EXIT", confirm, sizeof(confirm));
    char text[512];
    FormatExitQuestion(confirm, HWName, text, sizeof(text));
    if (MessageBoxA(m_hWnd, text, UserTitle, MB_YESNO | MB_ICONQUESTION) == IDYES)
        DestroyWindow(m_hWnd);
}

void CMainFrame::OnTrayCallback(UINT mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        ShowWindow(m_hWnd, SW_SHOW);
        BringToFront();
        break;
    case WM_RBUTTONUP:
        BringToFront();
        ShowTrayMenu();
        break;
    }
}

void CMainFrame::ShowTrayMenu()
{
    HMENU menu = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        char open[128] = "", tool[128] = "", refresh[128] = "";
        LoadText("MainFrm", "IDS_OPEN", open, sizeof(open));
        LoadText("MainFrm", "IDS_MANAGE_TOOL", tool, sizeof(tool));
        LoadText("MainFrm", "ID_REFRESH_MENU", refresh, sizeof(refresh));
        char first[400];
        FormatTrayOpenItem(open, HWName, tool, first, sizeof(first));
        ModifyMenuA(popup, 0, MF_BYPOSITION | MF_STRING, ID_SHOW_MANAGER, first);
        ModifyMenuA(popup, 1, MF_BYPOSITION | MF_STRING, ID_REFRESH, refresh);
        SetMenuDefaultItem(popup, ID_SHOW_MANAGER, FALSE);
        POINT at;
        GetCursorPos(&at);
        TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, m_hWnd, NULL);
        PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
    DestroyMenu(menu);
}

LRESULT CMainFrame::OnNotice(WPARAM kind, LPARAM record)
{
    // Any process can post this message: only our own notices are read and freed.
    ReaderNotice *notice = TakeReaderNotice(record);
    if (!notice)
        return -1;
    char name[READER_NAME_SIZE];
    CopyBounded(name, sizeof(name), notice->reader);
    char carried[NOTICE_TEXT_SIZE];
    CopyBounded(carried, sizeof(carried), notice->text);
    free(notice);
    if (!PopupExists())
        return -1;
    char text[2048];
    switch (ComposeNoticeText(kind, name, carried, text, sizeof(text))) {
    case NOTICE_REFUSED:
        return -1;
    case NOTICE_NOTHING:
        return 0;
    case NOTICE_CHECK_EXPIRY:
        // The expiry check may wait on the time server for seconds; the
        // window thread goes on meanwhile and shows the notice when it is ready.
        if (StartCertificateNotice(name, text))
            return 0;
        m_certificateExpiring = BuildExpiryWarning(name, text, sizeof(text));
        break;
    case NOTICE_SHOW:
        break;
    }
    DebugTrace("notice %u: %s", static_cast<unsigned>(kind), text);
    PopupShow(text);
    return 0;
}

namespace {

struct CertificateNoticeJob {
    HWND frame;
    char reader[READER_NAME_SIZE];
    char text[2048];
};

DWORD WINAPI CertificateNoticeThread(void *param)
{
    CertificateNoticeJob *job = static_cast<CertificateNoticeJob *>(param);
    bool expiring = false;
    {
        // The expiry check reads the token: not once exit has begun.
        HandlerGateRun run(LibraryGate());
        if (!run.Entered()) {
            free(job);
            return 0;
        }
        expiring = BuildExpiryWarning(job->reader, job->text, sizeof(job->text));
    }
    // The job goes back to the window thread, which frees it; handed out only
    // now, so that a forged message cannot free it while this thread works on it.
    FrameRecords().Hand(job);
    if (!PostMessageA(job->frame, WM_ZV_CERT_NOTICE_READY, expiring ? 1 : 0, reinterpret_cast<LPARAM>(job))) {
        if (FrameRecords().Take(job)) // else a forged message took and freed it
            free(job);
    }
    return 0;
}

} // namespace

bool CMainFrame::StartCertificateNotice(const char *reader, const char *text)
{
    CertificateNoticeJob *job = static_cast<CertificateNoticeJob *>(calloc(1, sizeof(CertificateNoticeJob)));
    if (!job)
        return false;
    job->frame = m_hWnd;
    CopyBounded(job->reader, sizeof(job->reader), reader);
    CopyBounded(job->text, sizeof(job->text), text);
    HANDLE thread = CreateThread(NULL, 0, CertificateNoticeThread, job, 0, NULL);
    if (!thread) {
        free(job);
        return false;
    }
    CloseHandle(thread);
    return true;
}

void CMainFrame::OnCertificateNoticeReady(bool expiring, LPARAM ready)
{
    void *record = reinterpret_cast<void *>(ready);
    if (!FrameRecords().Take(record))
        return; // not a job of ours
    CertificateNoticeJob *job = static_cast<CertificateNoticeJob *>(record);
    job->text[sizeof(job->text) - 1] = '\0';
    m_certificateExpiring = expiring;
    // A token removed while its notice was being composed gets no late notice.
    uint32_t state = 0;
    bool present = Tok::QKGetDevState(job->reader, &state) == 0 && state == TOK_DEV_PRESENT;
    if (present && PopupExists()) {
        DebugTrace("notice %u: %s", static_cast<unsigned>(NOTICE_CERTIFICATE), job->text);
        PopupShow(job->text);
    }
    free(job);
}

void CMainFrame::OnRefresh()
{
    if (m_view)
        m_view->Refresh();
    ShowPinTagReminder();
}

void CMainFrame::ShowPinTagReminder()
{
    char reader[READER_NAME_SIZE];
    CopyCurrentReader(reader, sizeof(reader));
    switch (CheckPinReminder(reader)) {
    case PIN_REMINDER_NONE:
        return;
    case PIN_REMINDER_TAG_FAILED: {
        char text[512] = "";
        LoadText("MainFrm", "IDS_PINTAG_EFFILE", text, sizeof(text));
        MessageBoxA(m_hWnd, text, UserTitle, MB_OK | MB_ICONERROR);
        return;
    }
    case PIN_REMINDER_SHOW:
        break;
    }
    char tips[1024] = "", title[256] = "";
    LoadText("MainFrm", "IDS_CHANGEPIN_TIPS", tips, sizeof(tips));
    LoadText("MainFrm", "IDS_MSGBOX_TITLE", title, sizeof(title));
    MessageBoxA(NULL, tips, title, MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
    HWND main = FindWindowA(NULL, UserTitle);
    if (main) {
        SetActiveWindow(main);
        SetForegroundWindow(main);
        ShowWindow(main, SW_SHOW);
    }
    if (m_view)
        m_view->ActivatePage(PAGE_PIN);
}

LRESULT CMainFrame::OnWebPages(WPARAM action)
{
    if (action != WEBPAGES_OPEN && action != WEBPAGES_CLOSE)
        return -1;
    HRESULT com = CoInitialize(NULL);
    FrameWebSettings web;
    ReadFrameWebSettings(web);
    if (action == WEBPAGES_OPEN) {
        for (const std::string &url : web.urls)
            OpenInBrowser(url.c_str());
    } else {
        CloseBrowserWindowsShowing(web.urls);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void CMainFrame::OnRequestCertificate()
{
    FrameWebSettings web;
    ReadFrameWebSettings(web);
    if (!web.requestAddress.empty())
        OpenInBrowser(web.requestAddress.c_str());
}

void CMainFrame::OnTimer(UINT_PTR id)
{
    if (id == TIMER_PIN_WINDOW)
        CloseLibraryPinWindow();
    else if (id == TIMER_BROWSER_WATCH)
        WatchBrowsers();
}

void CMainFrame::CloseLibraryPinWindow()
{
    static char pinTitle[256];
    static bool loaded = false;
    if (!loaded) {
        LoadText("MainFrm", "IDSTR_UIPIN_TITLE", pinTitle, sizeof(pinTitle));
        loaded = true;
    }
    if (!pinTitle[0])
        return;
    RequestCloseWindowTitled(pinTitle);
}

// The stamp of URLSet.ini: one look at the file system, where reading the
// setting is a profile lookup per key.
static SettingStamp WebSettingStamp()
{
    static char path[MAX_PATH];
    static bool named = CWebSetFile::ProgramFilePath(path, sizeof(path));
    SettingStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (named && GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.written = (uint64_t)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
        stamp.size = (uint64_t)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    }
    return stamp;
}

void CMainFrame::WatchBrowsers()
{
    // The tokens are asked again when a token or a reader came or went, the
    // setting when its file changed (the web page may turn the prompt on).
    if (m_browserWatch.TokensDue(DeviceWatch::Instance().Changes()))
        m_browserTokenIn = DeviceWatch::Instance().AnyTokenPresent();
    if (m_browserWatch.StampDue() && m_browserWatch.SettingDue(WebSettingStamp())) {
        FrameWebSettings web;
        ReadFrameWebSettings(web);
        m_browserPromptOn = web.iePrompt > 0;
    }
    if (!m_browserPrompt.Watching(m_browserPromptOn, m_browserTokenIn)) {
        m_browserCounter.Forget();
        return;
    }
    if (!m_browserPrompt.Due(m_browserCounter.Count()))
        return;
    FrameWebSettings web;
    ReadFrameWebSettings(web);
    if (web.iePrompt > 0) {
        BringToFront();
        char text[1024] = "";
        LoadText("MainFrm", "ZV_CLOSEIEWINDOW", text, sizeof(text));
        MessageBoxA(m_hWnd, text, UserTitle, MB_OK | MB_ICONQUESTION | MB_SYSTEMMODAL);
        BringToFront();
    }
}

void CMainFrame::OnDestroy()
{
    KillTimer(m_hWnd, TIMER_PIN_WINDOW);
    KillTimer(m_hWnd, TIMER_BROWSER_WATCH);
    // No handler may run inside the libraries once their caches go.
    DeviceWatch::Instance().Shutdown(EXIT_HANDLER_WAIT_MS);
    Tok::ZVClearAllCachedPin();
    Tok::CSPUnAllIECert();
    Tok::ZVClearCachedCSP();
    TrayIconDelete(m_hWnd, TRAY_ID_APPLICATION);
    TrayIconDelete(m_hWnd, TRAY_ID_TOKEN);
    PostQuitMessage(0);
}
