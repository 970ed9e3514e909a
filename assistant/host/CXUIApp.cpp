#include "assistant/host/CXUIApp.h"

#include "assistant/engine/win32/EngineServices.h"
#include "assistant/host/dialog/BrowserLockdown.h"
#include "assistant/host/dialog/CXUIDlg.h"
#include "assistant/host/log/HostTrace.h"
#include "assistant/host/startup/CSelectPro.h"
#include "assistant/host/startup/SecurityAttributes.h"
#include "common/win32/ProgramPath.h"

#include <commctrl.h>
#include <ole2.h>

#include <string>

// Which signer the build pins and what it carries, named by the build.
#ifndef ORVANE_BUILD_KIND
#define ORVANE_BUILD_KIND "build of unknown kind"
#endif

namespace {

// In COM-server mode: ends the loop once clients have come and gone.
void CALLBACK IdleCheck(HWND, UINT, UINT_PTR, DWORD)
{
    if (CComServer::ServerIdle())
        PostQuitMessage(0);
}

}  // namespace

CXUIApp::CXUIApp()
    : m_detectToolsMutex(NULL), m_activationMessage(0), m_logEnabled(1), m_external(NULL), m_occManager(NULL),
      m_vendor(0), m_oleReady(false), m_exitCode(0)
{
}

CXUIApp::~CXUIApp()
{
    if (m_detectToolsMutex)
        CloseHandle(m_detectToolsMutex);
}

bool CXUIApp::InitInstance(const char *commandLine)
{
    HostTrace("start: %s", ORVANE_BUILD_KIND);
    // The handle is never closed: the mutex marks this process to the end.
    CreateMutexA(NULL, FALSE, InstanceMutexName());
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return false;

    m_activationMessage = RegisterWindowMessageA(ActivationMessageName());
    if (m_activationMessage == 0) {
        MessageBoxA(NULL, "Can not initialize.", "Orvane_Assistant", MB_OK | MB_ICONERROR);
        return false;
    }
    AllowActivationMessage();
    if (!TakeDetectToolsMutex())
        return false;

    m_oleReady = SUCCEEDED(OleInitialize(NULL));
    INITCOMMONCONTROLSEX controls = {8, 0xFF};
    InitCommonControlsEx(&controls);

    unsigned refused = LockDownBrowser();
    HostTrace("browser lock-down: %u features, %u refused", kBrowserLockdownCount, refused);

    m_external = new CXUIImpIDispatch();
    m_occManager = new CXUICustomOccManager(m_external);
    EnableControlContainer(m_occManager);

    StartMode mode = ParseStartMode(commandLine);
    HRESULT hr = m_server.RegisterClassObjects();
    if (FAILED(hr)) {
        HostTrace("class objects 0x%08lx", static_cast<unsigned long>(hr));
        m_exitCode = 1;
        return false;
    }
    switch (mode) {
    case StartMode::Embedding:
        SetTimer(NULL, 0, 1000, IdleCheck);
        return true;
    case StartMode::Unregister:
        hr = CComServer::UnregisterServer(ProgramPath());
        HostTrace("unregister 0x%08lx", static_cast<unsigned long>(hr));
        m_exitCode = FAILED(hr) ? 1 : 0;
        return false;
    case StartMode::Register:
        hr = CComServer::RegisterServer(ProgramPath());
        HostTrace("register 0x%08lx", static_cast<unsigned long>(hr));
        m_exitCode = FAILED(hr) ? 1 : 0;
        return false;
    case StartMode::Interface:
        break;
    }

    if (!m_logFile.Open(ProgramLogPath()))
        m_logEnabled = 0;
    RunInterface();
    return false;
}

void CXUIApp::AllowActivationMessage()
{
    if (!OsIsVistaOrLater())
        return;
    typedef BOOL(WINAPI * FilterFn)(UINT, DWORD);
    HMODULE user = GetModuleHandleA("USER32.Dll");
    FilterFn filter =
        user ? reinterpret_cast<FilterFn>(reinterpret_cast<void *>(GetProcAddress(user, "ChangeWindowMessageFilter")))
             : NULL;
    if (filter)
        filter(m_activationMessage, 1);  // MSGFLT_ADD
}

bool CXUIApp::TakeDetectToolsMutex()
{
    m_detectToolsMutex = CreateMutexA(g_securityAttributes.Get(), FALSE, DetectToolsMutexName());
    if (m_detectToolsMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(m_detectToolsMutex);
        m_detectToolsMutex = NULL;
        PostMessageA(HWND_BROADCAST, m_activationMessage, 0, 0);
        return false;
    }
    return true;
}

void CXUIApp::RunInterface()
{
    CSelectPro select;
    if (select.DoModal(NULL) != IDOK)
        return;
    m_vendor = select.Selection();
    CXUIDlg dialog(m_vendor, m_activationMessage, m_logFile, m_external);
    dialog.DoModal(NULL);
}

int CXUIApp::Run()
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return m_exitCode;
}

int CXUIApp::ExitInstance()
{
    m_logFile.Close();
    m_server.RevokeClassObjects();
    if (m_detectToolsMutex) {
        CloseHandle(m_detectToolsMutex);
        m_detectToolsMutex = NULL;
    }
    if (m_oleReady)
        OleUninitialize();
    m_oleReady = false;
    return m_exitCode;
}
