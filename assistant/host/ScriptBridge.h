// The page bridge of the main dialog: RUVSysCall dispatch on the window
// thread and the delivery of each worker result into the page.
#pragma once

#include "assistant/host/CJsCall.h"
#include "assistant/host/CXUIImpIDispatch.h"
#include "assistant/host/CommandDispatch.h"

// What the bridge needs from the dialog that hosts it.
class IBridgeWindow {
public:
    virtual ~IBridgeWindow() {}
    // Gives js the browser's current document (see AttachBrowserDocument).
    virtual bool AttachCurrentDocument(CJsCall &js) = 0;
    virtual void ShowBridgeMessage(const char *text) = 0;
    virtual void EmptyLog() = 0;
    // Starts the worker for the command state (see StartCheckWorker).
    virtual bool StartWorker() = 0;
};

class CScriptBridge : public IRuvSysCallHandler, private IDispatchHost {
public:
    CScriptBridge(CommandState &state, IBridgeWindow &window) : m_state(state), m_window(window) {}

    DispatchOutcome OnRuvSysCall(const CommandCall &call) override;
    // The WM_RUV_CALLSCRIPT handler: calls ScriptFunction with ScriptArgs.
    // A missing frame or function drops the result. Returns 0.
    LRESULT OnCallScript();
    CJsCall &JsCall() { return m_js; }

private:
    bool AttachDocument() override { return m_window.AttachCurrentDocument(m_js); }
    void ReportAttachFailure() override { m_window.ShowBridgeMessage("js.SetDocument() failed."); }
    void EmptyLog() override { m_window.EmptyLog(); }
    bool StartWorker() override { return m_window.StartWorker(); }

    CommandState &m_state;
    IBridgeWindow &m_window;
    CJsCall m_js;
};

// The WebBrowser control's Document property (DISPID 203), with a reference
// for the caller, or null.
IDispatch *ReadBrowserDocument(IDispatch *browser);
// Reads the browser's document and gives it to js.
bool AttachBrowserDocument(CJsCall &js, IDispatch *browser);
// The message box of the bridge: owned by the main window, OK, no icon.
void ShowBridgeMessageBox(HWND owner, const char *text);
