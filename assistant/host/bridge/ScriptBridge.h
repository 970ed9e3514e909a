// The page bridge of the main dialog: RUVSysCall dispatch on the window
// thread and the delivery of each worker result into the page.
#pragma once

#include "assistant/host/bridge/BridgeHost.h"
#include "assistant/host/bridge/CXUIImpIDispatch.h"
#include "assistant/host/bridge/CommandDispatch.h"
#include "assistant/host/bridge/ScriptMessages.h"
#include "assistant/host/bridge/script/CJsCall.h"

class CScriptBridge : public IRuvSysCallHandler {
public:
    CScriptBridge(CommandState &state, IBridgeHost &host) : m_state(state), m_host(host) {}

    DispatchOutcome OnRuvSysCall(const CommandCall &call) override;
    // Where the worker's results go: sent to window, which hands each
    // WM_RUV_CALLSCRIPT back here.
    IResultChannel &Results() { return m_channel; }
    void SetResultWindow(HWND window) { m_channel.SetWindow(window); }
    // The WM_RUV_CALLSCRIPT handler: calls the result's function with its
    // code and second. A message that is not the channel's, a missing frame
    // or function drops it. Returns 0.
    LRESULT OnCallScript(LPARAM lParam);
    // The host attaches the current document here (see AttachBrowserDocument).
    CJsCall &JsCall() { return m_js; }

private:
    CommandState &m_state;
    IBridgeHost &m_host;
    CJsCall m_js;
    CMessageResultChannel m_channel;
};

// The WebBrowser control's Document property (DISPID 203), with a reference
// for the caller, or null.
IDispatch *ReadBrowserDocument(IDispatch *browser);
// Reads the browser's document and gives it to js.
bool AttachBrowserDocument(CJsCall &js, IDispatch *browser);
// The message box of the bridge: owned by the main window, OK, no icon.
void ShowBridgeMessageBox(HWND owner, const char *text);
