#include "assistant/host/bridge/ScriptBridge.h"

static const DISPID kDispidBrowserDocument = 203;

DispatchOutcome CScriptBridge::OnRuvSysCall(const CommandCall &call)
{
    return DispatchCommand(m_state, call, m_host);
}

LRESULT CScriptBridge::OnCallScript(LPARAM lParam)
{
    if (const PageResult *result = m_channel.Received(lParam))
        m_js.CallFunction(result->function, {result->code, result->second}, NULL);
    return 0;
}

IDispatch *ReadBrowserDocument(IDispatch *browser)
{
    if (!browser)
        return NULL;
    DISPPARAMS none = {NULL, NULL, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = browser->Invoke(kDispidBrowserDocument, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                 &value, NULL, NULL);
    IDispatch *document = NULL;
    if (SUCCEEDED(hr) && V_VT(&value) == VT_DISPATCH && V_DISPATCH(&value)) {
        document = V_DISPATCH(&value);
        document->AddRef();
    }
    VariantClear(&value);
    return document;
}

bool AttachBrowserDocument(CJsCall &js, IDispatch *browser)
{
    IDispatch *document = ReadBrowserDocument(browser);
    bool attached = js.SetDocument(document);
    if (document)
        document->Release();
    return attached;
}

void ShowBridgeMessageBox(HWND owner, const char *text)
{
    MessageBoxA(owner, text, "岚川银行网银助手", MB_OK);
}
