// The main dialog: the browser over the whole client area showing the start
// page from the program's resources, the page bridge and the worker's host.
#pragma once

#include "assistant/engine/win32/EngineServices.h"
#include "assistant/host/bridge/CXUIImpIDispatch.h"
#include "assistant/host/bridge/ScriptBridge.h"
#include "assistant/host/bridge/ScriptMessages.h"
#include "assistant/host/dialog/BrowserEvents.h"
#include "assistant/host/dialog/CWebbrowser.h"
#include "assistant/host/log/LogFile.h"
#include "assistant/host/protocol/PageAddress.h"
#include "common/win32/window/Window.h"

class CXUIDlg : public CDialog, public IBridgeHost, public IWorkerHost, public INavigationOwner {
public:
    CXUIDlg(int vendor, UINT activationMessage, CLogFile &log, CXUIImpIDispatch *external);
    ~CXUIDlg() override;

    CommandState &State() override { return m_state; }

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Keys go to the browser's active object first, then to the dialog.
    bool PreTranslateMessage(MSG &msg) override;

private:
    void OnInitDialog();
    void AddAboutItem();
    void FitBrowser();
    void NavigateToStartPage();
    void ComeToFront();
    void PaintIconic();
    // Closing while a command or its worker runs would leave the worker with
    // a dead dialog.
    void CloseUnlessBusy(int result);
    bool IsTopLevel(IDispatch *frame);
    void ShowBusyMessage();
    void OnDestroy();

    // IBridgeHost
    bool AttachDocument() override;
    void ShowBridgeMessage(const char *text) override;
    void EmptyLog() override { m_log.Empty(); }
    bool StartWorker() override;

    // IWorkerHost
    IResultChannel &Results() override { return m_bridge.Results(); }
    ILog &Log() override { return m_log; }
    WorkerServices Services() override { return m_engine.Services(); }

    // INavigationOwner
    bool BeforeNavigate(IDispatch *frame, const std::string &url) override;
    void NavigateComplete(IDispatch *frame, const std::string &url) override;
    void OpenNewWindow(const std::string &url) override;

    int m_vendor;
    UINT m_activationMessage;
    CLogFile &m_log;
    CXUIImpIDispatch *m_external;
    CommandState m_state;
    // The last worker started; waited for before anything it uses goes away.
    HANDLE m_worker;
    ModulePath m_programPath;
    PageDocuments m_documents;
    HICON m_icon;
    HICON m_smallIcon;
    CScriptBridge m_bridge;
    // The repair's question is asked in a box owned by this dialog.
    CMessageBoxPrompt m_prompt;
    CEngineServices m_engine;
    CWebbrowser m_browser;
    CXUIBrowserEvents m_events;
};

// The busy message: while a check runs, nothing may leave the page.
extern const char kBusyMessage[];
extern const char kAssistantTitle[];
