#include "assistant/host/dialog/BrowserEvents.h"

#include "assistant/host/protocol/OwnModulePath.h"

// {34A715A0-6587-11D0-924A-0020AFC7AC4D}
const IID kDiidWebBrowserEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

STDMETHODIMP CXUIBrowserEvents::QueryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, kDiidWebBrowserEvents2)) {
        *object = static_cast<IDispatch *>(this);
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP CXUIBrowserEvents::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}
STDMETHODIMP CXUIBrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo **)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIBrowserEvents::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CXUIBrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *, EXCEPINFO *,
                                       UINT *)
{
    switch (id) {
    case kDispidBeforeNavigate2:
        BeforeNavigate2(params);
        break;
    case kDispidNavigateComplete2:
        NavigateComplete2(params);
        break;
    case kDispidNewWindow3:
        NewWindow3(params);
        break;
    default:
        break;
    }
    return S_OK;
}

std::string AddressText(const wchar_t *url)
{
    return Utf8Text(url);
}

namespace {

// A URL argument: a string, or a variant holding one by reference.
std::string UrlArgument(const VARIANT &arg)
{
    const VARIANT *value = &arg;
    if (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value))
        value = V_VARIANTREF(value);
    if (V_VT(value) == VT_BSTR)
        return AddressText(V_BSTR(value));
    if (V_VT(value) == (VT_BYREF | VT_BSTR) && V_BSTRREF(value))
        return AddressText(*V_BSTRREF(value));
    return std::string();
}

IDispatch *FrameArgument(const VARIANT &arg)
{
    return V_VT(&arg) == VT_DISPATCH ? V_DISPATCH(&arg) : NULL;
}

VARIANT_BOOL *CancelArgument(VARIANT &arg)
{
    return V_VT(&arg) == (VT_BYREF | VT_BOOL) ? V_BOOLREF(&arg) : NULL;
}

}  // namespace

// (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel): the
// arguments arrive last first, so the cancel flag is in the first slot.
void CXUIBrowserEvents::BeforeNavigate2(DISPPARAMS *params)
{
    if (!params || params->cArgs != 7 || !params->rgvarg)
        return;
    VARIANT_BOOL *cancel = CancelArgument(params->rgvarg[0]);
    if (!cancel)
        return;
    if (m_owner.BeforeNavigate(FrameArgument(params->rgvarg[6]), UrlArgument(params->rgvarg[5])))
        *cancel = VARIANT_TRUE;
}

// (pDisp, URL)
void CXUIBrowserEvents::NavigateComplete2(DISPPARAMS *params)
{
    if (!params || params->cArgs != 2 || !params->rgvarg)
        return;
    m_owner.NavigateComplete(FrameArgument(params->rgvarg[1]), UrlArgument(params->rgvarg[0]));
}

// (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): no window of ours is
// ever made; the owner may pass the address on to the user's browser.
void CXUIBrowserEvents::NewWindow3(DISPPARAMS *params)
{
    if (!params || params->cArgs != 5 || !params->rgvarg)
        return;
    VARIANT_BOOL *cancel = CancelArgument(params->rgvarg[3]);
    if (!cancel)
        return;
    *cancel = VARIANT_TRUE;
    m_owner.OpenNewWindow(UrlArgument(params->rgvarg[0]));
}
