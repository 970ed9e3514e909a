#include "assistant/host/bridge/CXUIImpIDispatch.h"

#include "assistant/host/bridge/CommandTable.h"
#include "common/win32/TextConversion.h"

#include <string.h>

STDMETHODIMP CXUIImpIDispatch::QueryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CXUIImpIDispatch::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CXUIImpIDispatch::Release()
{
    // Owned by the application for the whole process: never deleted here.
    return static_cast<ULONG>(InterlockedDecrement(&m_refs));
}

STDMETHODIMP CXUIImpIDispatch::GetTypeInfoCount(UINT *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CXUIImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo **)
{
    return E_NOTIMPL;
}

STDMETHODIMP CXUIImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids)
{
    if (count && (!names || !ids))
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        std::string name;
        try {
            name = WideToAnsiText(names[i]);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        if (names[i] && name == "RUVSysCall") {
            ids[i] = kDispidRuvSysCall;
        } else {
            ids[i] = DISPID_UNKNOWN;
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

static const VARIANT *Dereferenced(const VARIANT *v)
{
    if (v && V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v))
        return V_VARIANTREF(v);
    return v;
}

CommandCall ReadRuvSysCall(const DISPPARAMS *params)
{
    CommandCall call = {false, 0, std::string()};
    if (!params || !params->rgvarg || params->cArgs < 2)
        return call;
    const VARIANT *id = Dereferenced(&params->rgvarg[params->cArgs - 1]);
    const VARIANT *args = Dereferenced(&params->rgvarg[params->cArgs - 2]);
    if (V_VT(args) != VT_BSTR)
        return call;
    if (V_VT(id) == VT_R8) {
        call.cmdId = CommandIdFromArgument(CommandIdKind::Double, 0, V_R8(id));
    } else {
        // Any other type by its value, not by whatever its bytes hold.
        VARIANT number;
        VariantInit(&number);
        bool converted = SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT *>(id), 0, VT_I4));
        call.cmdId = CommandIdFromArgument(converted ? CommandIdKind::Int32 : CommandIdKind::Other,
                                           converted ? V_I4(&number) : 0, 0.0);
        VariantClear(&number);
    }
    BSTR text = V_BSTR(args);
    call.args = text ? WideToAnsiText(text, static_cast<int>(SysStringLen(text))) : std::string();
    call.wellFormed = true;
    return call;
}

STDMETHODIMP CXUIImpIDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                      EXCEPINFO *, UINT *)
{
    if (id != kDispidRuvSysCall)
        return DISP_E_MEMBERNOTFOUND;
    // No C++ exception may reach the script engine.
    try {
        return InvokeRuvSysCall(flags, params, result);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CXUIImpIDispatch::InvokeRuvSysCall(WORD flags, DISPPARAMS *params, VARIANT *result)
{
    if ((flags & DISPATCH_PROPERTYGET) && result) {
        VariantClear(result);
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = 1;  // stored as 1, not VARIANT_TRUE
    }
    if ((flags & DISPATCH_METHOD) && m_handler) {
        DispatchOutcome outcome = m_handler->OnRuvSysCall(ReadRuvSysCall(params));
        if (outcome.answered && result) {
            VariantClear(result);
            std::wstring text = AnsiToWideText(outcome.text);
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        }
    }
    return S_OK;
}
