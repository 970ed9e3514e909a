#include "keymgr/shell/MainFrame.h"

#include "common/BoundedCopy.h"
#include "common/Module.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/TrayIcon.h"
#include "keymgr/shell/ZVAppView.h"
#include "keymgr/shell/resource.h"

static HWND g_mainWindow = NULL;

HWND MainWindowHandle()
{
    return g_mainWindow;
}

CMainFrame::CMainFrame() : m_document(NULL), m_view(NULL), m_taskbarCreatedMessage(0) {}

CMainFrame::~CMainFrame()
{
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
    return m_view && m_view->PreTranslateMessage(msg);
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_taskbarCreatedMessage && msg == m_taskbarCreatedMessage) {
        char tip[NAME_BUFFER_SIZE] = "";
        GetWindowTextA(m_hWnd, tip, sizeof(tip));
        TrayIconAdd(m_hWnd, TRAY_ID_APPLICATION, tip);
        PostMessageA(m_hWnd, WM_SHOWWINDOW, 0, 1);
        return 0;
    }
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_SHOW_MANAGER) {
            ShowWindow(m_hWnd, SW_SHOWNORMAL);
            SetForegroundWindow(m_hWnd);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        OnSysCommand(wParam, lParam);
        return 0;
    case WM_CLOSE:
        // Closing only hides: the program lives in the notification area.
        ShowWindow(m_hWnd, SW_HIDE);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CMainFrame::OnCreate()
{
    // Without the library these cannot run; the program still starts so
    // that the user sees what is missing.
    if (TokenEntryAvailable(TE_ZVCreateCachedPin) && Tok::ZVCreateCachedPin() != 0)
        return -1;
    if (TokenEntryAvailable(TE_ZVCreateCachedCSP) && Tok::ZVCreateCachedCSP() != 0)
        return -1;
    g_mainWindow = m_hWnd;
    m_view = new CZVAppView();
    if (!m_view->Create(m_hWnd)) {
        delete m_view;
        m_view = NULL;
        return -1;
    }
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
    if (popupTitle[0])
        ModifyMenuA(menu, 0, MF_BYPOSITION | MF_STRING | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(GetSubMenu(menu, 0)), popupTitle);
    HMENU popup = GetSubMenu(menu, 0);
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
        return;
    }
    DefWindowProcA(m_hWnd, WM_SYSCOMMAND, command, lParam);
}

void CMainFrame::OnDestroy()
{
    Tok::ZVClearAllCachedPin();
    Tok::CSPUnAllIECert();
    Tok::ZVClearCachedCSP();
    TrayIconDelete(m_hWnd, TRAY_ID_APPLICATION);
    if (g_mainWindow == m_hWnd)
        g_mainWindow = NULL;
    PostQuitMessage(0);
}
