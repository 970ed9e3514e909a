#include "assistant/host/bridge/script/CJsCall.h"

#include "assistant/host/bridge/script/HtmlScriptDocument.h"
#include "assistant/host/bridge/script/ScriptPath.h"
#include "common/win32/TextConversion.h"

bool CJsCall::SetDocument(IDispatch *document)
{
    m_document.reset();
    m_document = WrapHtmlDocument(document);
    return m_document != nullptr;
}

bool CJsCall::SetScriptDocument(std::unique_ptr<IScriptDocument> document)
{
    m_document = std::move(document);
    return m_document != nullptr;
}

bool CJsCall::FindFunction(const std::string &path, IDispatch **script, DISPID *dispid)
{
    if (!script || !dispid)
        return false;
    *script = NULL;
    if (!m_document)
        return false;
    ScriptPath parts = SplitScriptPath(path);
    IScriptDocument *current = m_document.get();
    std::unique_ptr<IScriptDocument> frame;
    for (const std::string &name : parts.frames) {
        std::unique_ptr<IScriptDocument> next = current->OpenFrame(name);
        if (!next)
            return false;
        frame = std::move(next);
        current = frame.get();
    }
    IDispatch *object = current->Script();
    if (!object)
        return false;
    std::wstring function = AnsiToWideText(parts.function);
    LPOLESTR name = const_cast<LPOLESTR>(function.c_str());
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, &id))) {
        object->Release();
        return false;
    }
    *script = object;
    *dispid = id;
    return true;
}

bool CJsCall::CallFunction(const std::string &path, const std::vector<std::string> &args, VARIANT *result)
{
    try {
        return CallFunctionOnce(path, args, result);
    } catch (...) {
        return false; // a failed allocation: the result is lost, not the program
    }
}

bool CJsCall::CallFunctionOnce(const std::string &path, const std::vector<std::string> &args, VARIANT *result)
{
    IDispatch *script = NULL;
    DISPID id = DISPID_UNKNOWN;
    if (!FindFunction(path, &script, &id))
        return false;

    // The argument array holds the last argument first.
    std::vector<VARIANT> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANT &v = values[args.size() - 1 - i];
        VariantInit(&v);
        std::wstring text = AnsiToWideText(args[i]);
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    DISPPARAMS params = {values.empty() ? NULL : values.data(), NULL, static_cast<UINT>(values.size()), 0};
    VARIANT returned;
    VariantInit(&returned);
    EXCEPINFO exception = {};
    UINT argError = static_cast<UINT>(-1);
    HRESULT hr = script->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &returned, &exception, &argError);
    script->Release();
    for (VARIANT &v : values)
        VariantClear(&v);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);

    bool ok = SUCCEEDED(hr);
    if (ok && result)
        ok = SUCCEEDED(VariantCopy(result, &returned));
    VariantClear(&returned);
    return ok;
}
