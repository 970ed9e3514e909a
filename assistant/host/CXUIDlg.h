// The main dialog: the browser over the whole client area showing the start
// page from the program's resources, the page bridge and the worker's host.
#pragma once

#include "assistant/engine/EngineServices.h"
#include "assistant/engine/InstallerPlatform.h"
#include "assistant/engine/Win32ClientEngine.h"
#include "assistant/host/BrowserEvents.h"
#include "assistant/host/CWebbrowser.h"
#include "assistant/host/CXUIImpIDispatch.h"
#include "assistant/host/LogFile.h"
#include "assistant/host/ScriptBridge.h"
#include "assistant/host/ScriptMessages.h"
#include "common/Window.h"

class CXUIDlg : public CDialog, public IBridgeWindow, public IWorkerHost, public INavigationOwner {
public:
    CXUIDlg(int vendor, UINT activationMessage, CLogFile &log, CXUIImpIDispatch *external);
    ~CXUIDlg() override;

    CommandState &State() override { return m_state; }

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void AddAboutItem();
    void FitBrowser();
    void NavigateToStartPage();
    void ComeToFront();
    void PaintIconic();
    // Closing while a command runs would leave the worker with a dead dialog.
    void CloseUnlessBusy(int result);
    void ShowBusyMessage();
    void OnDestroy();

    // IBridgeWindow
    bool AttachCurrentDocument(CJsCall &js) override;
    void ShowBridgeMessage(const char *text) override;
    void EmptyLog() override { m_log.Empty(); }
    bool StartWorker() override { return StartCheckWorker(this); }

    // IWorkerHost
    IResultChannel &Results() override { return m_channel; }
    ILog &Log() override { return m_log; }
    WorkerServices Services() override { return m_engine.Services(m_client.Engine()); }

    // INavigationOwner
    bool NavigationBusy() override { return m_state.Busy == 1; }
    void ShowNavigationBusy() override { ShowBusyMessage(); }

    int m_vendor;
    UINT m_activationMessage;
    CLogFile &m_log;
    CXUIImpIDispatch *m_external;
    CommandState m_state;
    HICON m_icon;
    HICON m_smallIcon;
    CScriptBridge m_bridge;
    CMessageResultChannel m_channel;
    CEngineServices m_engine;
    // The repair's question is asked in a box owned by this dialog.
    CMessageBoxPrompt m_prompt;
    CWin32ClientEngine m_client;
    CWebbrowser m_browser;
    CXUIBrowserEvents m_events;
};

// The busy message: while a check runs, nothing may leave the page.
extern const char kBusyMessage[];
extern const char kAssistantTitle[];
