#include "keymgr/shell/app/ZVAppApp.h"

#include "common/BoundedCopy.h"
#include "common/win32/ProgramPath.h"
#include "keymgr/INI/language/LanguageItem.h"
#include "keymgr/INI/profile/Profile.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/library/TokenLibrary.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/app/ZVAppDoc.h"
#include "keymgr/shell/frame/MainFrame.h"
#include "keymgr/shell/view/ZVAppView.h"
#include "keymgr/shell/watch/DeviceWatch.h"

#include <commctrl.h>
#include <ole2.h>
#include <string.h>

CZVAppApp::CZVAppApp() : m_instanceMutex(NULL), m_document(NULL), m_frame(NULL), m_oleReady(false) {}

CZVAppApp::~CZVAppApp()
{
    delete m_frame;
    delete m_document;
    if (m_instanceMutex)
        CloseHandle(m_instanceMutex);
}

bool CZVAppApp::InitInstance()
{
    char iniPath[260] = "";
    CProfile::GetProgramIniPath(iniPath);
    BindTokenLibraries(iniPath);

    ReadStartupName(UserTitle, [](char *b) { return Tok::ZRGetUserTitle(b); });
    AlignLibraryLanguage();
    if (!TakeSingleInstance())
        return false;
    ReportMissingLibraries();

    ReadStartupName(HWName, [](char *b) { return Tok::ZRGetHWName(b); });
    ReadStartupName(PopupTitle, [](char *b) { return Tok::ZRGetMsnTitle(b); });
    // Limits that cannot be read are both 0, which no PIN fits: the PIN
    // page's apply and the label dialog's OK stay disabled.
    if (Tok::ZRGetPinLen(&MinPinLen, &MaxPinLen) != 0) {
        MinPinLen = 0;
        MaxPinLen = 0;
    }

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    m_oleReady = SUCCEEDED(OleInitialize(NULL));

    if (!OpenNewDocument())
        return false;
    HWND frame = m_frame->Hwnd();
    ShowWindow(frame, SW_HIDE);
    m_frame->ParkFocus();
    UpdateWindow(frame);
    SetWindowTextA(frame, UserTitle);
    return true;
}

void CZVAppApp::AlignLibraryLanguage()
{
    char systemItem[LANGUAGE_ITEM_SIZE];
    FormatLanguageItem(GetSystemDefaultLangID(), systemItem);
    const char *libraryItem = Tok::LngGetDefaultItem();
    if (TokenEntryAvailable(TE_LngSetDefaultItem) && LanguageItemNeedsChange(systemItem, libraryItem))
        Tok::LngSetDefaultItem(systemItem);
}

bool CZVAppApp::TakeSingleInstance()
{
    m_instanceMutex = CreateMutexA(NULL, TRUE, SingleInstanceMutexName());
    DWORD error = GetLastError();
    if (m_instanceMutex && error == ERROR_ALREADY_EXISTS) {
        ReleaseMutex(m_instanceMutex);
        CloseHandle(m_instanceMutex);
        m_instanceMutex = NULL;
        // An empty title would match some other untitled window.
        HWND first = UserTitle[0] ? FindWindowA(NULL, UserTitle) : NULL;
        if (first) {
            ShowWindow(first, SW_SHOW);
            SetActiveWindow(first);
            SetForegroundWindow(first);
        }
        return false;
    }
    if (m_instanceMutex)
        ReleaseMutex(m_instanceMutex);
    return true;
}

void CZVAppApp::ReportMissingLibraries()
{
    char notice[2 * 260 + 160];
    if (FormatMissingLibraryNotice(ProcessTokenTable(), notice, sizeof(notice)) == 0)
        return;
    char caption[260];
    if (UserTitle[0]) {
        CopyBounded(caption, sizeof(caption), UserTitle);
    } else {
        char path[260] = "";
        ReadProgramPath(path, sizeof(path));
        const char *name = strrchr(path, '\\');
        CopyBounded(caption, sizeof(caption), name ? name + 1 : path);
    }
    MessageBoxA(NULL, notice, caption, MB_OK | MB_ICONSTOP);
}

bool CZVAppApp::OpenNewDocument()
{
    m_document = new CZVAppDoc();
    m_document->OnNewDocument();
    m_frame = new CMainFrame();
    if (!m_frame->LoadFrame(m_document))
        return false;
    if (m_frame->GetView())
        m_frame->GetView()->InitialUpdate();
    return true;
}

int CZVAppApp::Run()
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1)
            break;
        if (m_frame && m_frame->PreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CZVAppApp::ExitInstance()
{
    // A handler stuck inside a library keeps it mapped until the process ends.
    if (DeviceWatch::Instance().MayReleaseLibraries())
        ReleaseTokenLibraries();
    if (m_oleReady)
        OleUninitialize();
    m_oleReady = false;
    return 0;
}
