#include "assistant/host/dialog/CXUIDlg.h"

#include "assistant/host/dialog/CXUICustomOccManager.h"
#include "assistant/host/links/UserLinks.h"
#include "assistant/host/log/HostTrace.h"
#include "assistant/host/protocol/OwnModulePath.h"
#include "assistant/host/protocol/ProgramPaths.h"
#include "assistant/host/res/resource.h"
#include "common/win32/Module.h"
#include "common/win32/ProgramPath.h"

#include <string>

const char kBusyMessage[] = "正在执行检测，请等待操作完成！";
const char kAssistantTitle[] = "岚川银行网银助手";

CXUIDlg::CXUIDlg(int vendor, UINT activationMessage, CLogFile &log, CXUIImpIDispatch *external)
    : CDialog(IDD_XUI_DIALOG), m_vendor(vendor), m_activationMessage(activationMessage), m_log(log),
      m_external(external), m_worker(NULL), m_icon(NULL), m_smallIcon(NULL), m_bridge(m_state, *this),
      m_engine(m_prompt), m_events(*this)
{
}

CXUIDlg::~CXUIDlg()
{
    // Only reached with a worker still running when the dialog ended some
    // other way than its close (which waits); its sends to the gone window
    // fail at once, so it ends.
    if (m_worker) {
        WaitForSingleObject(m_worker, INFINITE);
        CloseHandle(m_worker);
    }
    if (m_external)
        m_external->SetHandler(NULL);
    if (m_icon)
        DestroyIcon(m_icon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
}

INT_PTR CXUIDlg::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Before anything else, so another tool can always bring us forward.
    if (m_activationMessage && msg == m_activationMessage) {
        ComeToFront();
        return FALSE;
    }
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            CDialog about(IDD_ABOUTBOX);
            about.DoModal(m_hWnd);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        if (!IsIconic(m_hWnd))
            return FALSE;
        PaintIconic();
        return TRUE;
    case WM_QUERYDRAGICON:
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(m_icon));
        return TRUE;
    case WM_RUV_CALLSCRIPT:
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, m_bridge.OnCallScript(lParam));
        return TRUE;
    case WM_SIZE:
        FitBrowser();
        return FALSE;
    case WM_CLOSE:
        // The close box, Alt+F4 and the system menu.
        CloseUnlessBusy(IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        // Enter and Esc become these: the page's keys never end the program.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            HostTrace("command %d kept open", static_cast<int>(LOWORD(wParam)));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void CXUIDlg::OnInitDialog()
{
    m_bridge.SetResultWindow(m_hWnd);
    m_prompt.SetOwner(m_hWnd);
    RECT window, work;
    GetWindowRect(m_hWnd, &window);
    GetWindowRect(GetDesktopWindow(), &work);
    int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(m_hWnd, NULL, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    AddAboutItem();
    m_icon = static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    m_smallIcon = static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    m_state.Vendor = m_vendor;
    m_state.Busy = 0;
    HostTrace("vendor %d", static_cast<int>(m_state.Vendor));
    if (m_external)
        m_external->SetHandler(&m_bridge);

    m_programPath = OwnModulePath();
    if (CXUICustomControlSite *site = ControlSiteOf(GetDlgItem(m_hWnd, IDC_EXPLORER)))
        site->SetDocuments(&m_documents);
    bool attached = m_browser.Attach(GetDlgItem(m_hWnd, IDC_EXPLORER));
    HostTrace("browser %s, site %s", attached ? "created" : "missing", m_browser.UsesOurSite() ? "ours" : "other");
    if (attached) {
        HRESULT hr = m_browser.Advise(&m_events);
        HostTrace("events 0x%08lx", static_cast<unsigned long>(hr));
    }
    FitBrowser();
    NavigateToStartPage();
}

void CXUIDlg::AddAboutItem()
{
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    char text[64] = "";
    if (!menu || LoadStringA(AppInstance(), IDS_ABOUTBOX, text, sizeof(text)) <= 0 || !text[0])
        return;
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void CXUIDlg::FitBrowser()
{
    HWND browser = GetDlgItem(m_hWnd, IDC_EXPLORER);
    if (!browser)
        return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    MoveWindow(browser, 0, 0, client.right, client.bottom, TRUE);
}

void CXUIDlg::NavigateToStartPage()
{
    if (m_programPath.unicode.empty())
        return;
    std::string url = StartPageUrl(m_programPath.unicode);
    HRESULT hr = m_browser.Navigate(url.c_str());
    HostTrace("navigate %s 0x%08lx", url.c_str(), static_cast<unsigned long>(hr));
}

void CXUIDlg::ComeToFront()
{
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CXUIDlg::PaintIconic()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    int x = (rect.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_icon);
    EndPaint(m_hWnd, &ps);
}

void CXUIDlg::CloseUnlessBusy(int result)
{
    if (RunInProgress(m_state)) {
        ShowBusyMessage();
        return;
    }
    EndDialog(m_hWnd, result);
}

void CXUIDlg::ShowBusyMessage()
{
    MessageBoxA(m_hWnd, kBusyMessage, kAssistantTitle, MB_OK);
}

void CXUIDlg::OnDestroy()
{
    if (CXUICustomControlSite *site = ControlSiteOf(GetDlgItem(m_hWnd, IDC_EXPLORER)))
        site->SetDocuments(NULL);
    if (m_external)
        m_external->SetHandler(NULL);
    m_browser.Detach();
}

bool CXUIDlg::AttachDocument()
{
    IWebBrowser2 *browser = m_browser.Browser();
    return AttachBrowserDocument(m_bridge.JsCall(), browser);
}

void CXUIDlg::ShowBridgeMessage(const char *text)
{
    ShowBridgeMessageBox(m_hWnd, text);
}

bool CXUIDlg::StartWorker()
{
    HANDLE thread = StartCheckWorkerThread(this);
    if (!thread)
        return false;
    if (m_worker)
        CloseHandle(m_worker);  // that worker has ended (or is returning)
    m_worker = thread;
    return true;
}

bool CXUIDlg::PreTranslateMessage(MSG &msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    if (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd))
        return false;
    CXUICustomControlSite *site = ControlSiteOf(GetDlgItem(m_hWnd, IDC_EXPLORER));
    return site && site->TranslateWithActiveObject(msg);
}

bool CXUIDlg::IsTopLevel(IDispatch *frame)
{
    IWebBrowser2 *browser = m_browser.Browser();
    if (!frame || !browser)
        return true;  // unknown: held to the top document's rule
    IUnknown *a = NULL, *b = NULL;
    bool same = SUCCEEDED(frame->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&a))) &&
                SUCCEEDED(browser->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&b))) && a == b;
    if (a)
        a->Release();
    if (b)
        b->Release();
    return same;
}

bool CXUIDlg::BeforeNavigate(IDispatch *frame, const std::string &url)
{
    NavigationVerdict verdict = DecideNavigation(IsTopLevel(frame), url, m_programPath, RunInProgress(m_state));
    if (verdict == NavigationVerdict::RefuseBusy)
        ShowBusyMessage();
    if (verdict == NavigationVerdict::RefuseForeign)
        HostTrace("refused %s", url.c_str());
    return verdict != NavigationVerdict::Allow;
}

void CXUIDlg::NavigateComplete(IDispatch *frame, const std::string &url)
{
    bool top = IsTopLevel(frame);
    IUnknown *key = NULL;
    if (frame)
        frame->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&key));
    m_documents.Navigated(key, top, url);
    if (key)
        key->Release();  // only its address is kept, as the frame's name
}

void CXUIDlg::OpenNewWindow(const std::string &url)
{
    // Never by this process's own shell call: it would run the user's
    // registered handler as administrator.
    HostTrace("opened %s %s", url.c_str(), LinkOutcomeName(OpenUserLink(url)));
}
