#include "assistant/host/BrowserEvents.h"

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
    if (id == kDispidBeforeNavigate2)
        BeforeNavigate2(params);
    return S_OK;
}

// (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel): the
// cancel flag is the last argument, so the first slot of the array.
void CXUIBrowserEvents::BeforeNavigate2(DISPPARAMS *params)
{
    if (!params || params->cArgs != 7 || !params->rgvarg)
        return;
    VARIANT &cancel = params->rgvarg[0];
    if (V_VT(&cancel) != (VT_BYREF | VT_BOOL) || !V_BOOLREF(&cancel))
        return;
    if (!m_owner.NavigationBusy())
        return;
    m_owner.ShowNavigationBusy();
    *V_BOOLREF(&cancel) = VARIANT_TRUE;
}
