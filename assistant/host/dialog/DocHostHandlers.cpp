#include "assistant/host/dialog/DocHostHandlers.h"

#include "assistant/host/dialog/AcceleratorRule.h"
#include "assistant/host/protocol/OwnModulePath.h"

#include <mshtmdid.h>

const wchar_t kPageMessageCaption[] = L"My Title";
const IID kIidDocHostShowUI = {0xC4D244B0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};

CXUIDocHostHandlers::CXUIDocHostHandlers(IUnknown *outer, IDispatch *external)
    : m_outer(outer), m_external(external), m_documents(NULL)
{
    m_programPath = OwnModulePath();
    m_xDocHostUIHandler.m_owner = this;
    m_xDocHostShowUI.m_owner = this;
    m_xAmbientProperties.m_owner = this;
}

// --- IUnknown of both nested objects: the site's

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::QueryInterface(REFIID riid, void **object)
{
    return m_owner->m_outer->QueryInterface(riid, object);
}
STDMETHODIMP_(ULONG) CXUIDocHostHandlers::XDocHostUIHandler::AddRef()
{
    return m_owner->m_outer->AddRef();
}
STDMETHODIMP_(ULONG) CXUIDocHostHandlers::XDocHostUIHandler::Release()
{
    return m_owner->m_outer->Release();
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostShowUI::QueryInterface(REFIID riid, void **object)
{
    return m_owner->m_outer->QueryInterface(riid, object);
}
STDMETHODIMP_(ULONG) CXUIDocHostHandlers::XDocHostShowUI::AddRef()
{
    return m_owner->m_outer->AddRef();
}
STDMETHODIMP_(ULONG) CXUIDocHostHandlers::XDocHostShowUI::Release()
{
    return m_owner->m_outer->Release();
}

STDMETHODIMP CXUIDocHostHandlers::XAmbientProperties::QueryInterface(REFIID riid, void **object)
{
    return m_owner->m_outer->QueryInterface(riid, object);
}
STDMETHODIMP_(ULONG) CXUIDocHostHandlers::XAmbientProperties::AddRef()
{
    return m_owner->m_outer->AddRef();
}
STDMETHODIMP_(ULONG) CXUIDocHostHandlers::XAmbientProperties::Release()
{
    return m_owner->m_outer->Release();
}

// --- IDocHostUIHandler

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::ShowContextMenu(DWORD, POINT *, IUnknown *, IDispatch *)
{
    return S_OK;  // "shown": the browser shows none
}

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO *info)
{
    if (!info)
        return E_POINTER;
    info->dwFlags = kDocHostFlags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject *, IOleCommandTarget *,
                                                            IOleInPlaceFrame *, IOleInPlaceUIWindow *)
{
    return S_OK;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::HideUI()
{
    return S_OK;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::UpdateUI()
{
    return S_OK;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::EnableModeless(BOOL)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::OnDocWindowActivate(BOOL)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::OnFrameWindowActivate(BOOL)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow *, BOOL)
{
    return E_NOTIMPL;
}

static bool KeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::TranslateAccelerator(LPMSG msg, const GUID *, DWORD)
{
    bool isKeyDown = msg && msg->message == WM_KEYDOWN;
    if (SwallowAccelerator(KeyDown(VK_CONTROL), isKeyDown, KeyDown('O'), KeyDown('P'), KeyDown('N')))
        return S_OK;
    return S_FALSE;
}

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR *, DWORD)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::GetDropTarget(IDropTarget *, IDropTarget **)
{
    return E_NOTIMPL;
}

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::GetExternal(IDispatch **external)
{
    if (!external)
        return E_POINTER;
    *external = NULL;
    const PageDocuments *documents = m_owner->m_documents;
    if (!m_owner->m_external || !documents || !documents->BridgeAllowed(m_owner->m_programPath))
        return E_NOTIMPL;
    *external = m_owner->m_external;
    (*external)->AddRef();
    return S_OK;
}

STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR *)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIDocHostHandlers::XDocHostUIHandler::FilterDataObject(IDataObject *, IDataObject **)
{
    return E_NOTIMPL;
}

// --- IDocHostShowUI

STDMETHODIMP CXUIDocHostHandlers::XDocHostShowUI::ShowMessage(HWND window, LPOLESTR text, LPOLESTR, DWORD type,
                                                              LPOLESTR, DWORD, LRESULT *result)
{
    int pressed = MessageBoxW(window, text ? text : L"", kPageMessageCaption, type);
    if (result)
        *result = pressed;
    return S_OK;
}

STDMETHODIMP CXUIDocHostHandlers::XDocHostShowUI::ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch *)
{
    return S_OK;
}

// --- ambient properties (IDispatch)

STDMETHODIMP CXUIDocHostHandlers::XAmbientProperties::GetTypeInfoCount(UINT *count)
{
    if (count)
        *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CXUIDocHostHandlers::XAmbientProperties::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    if (info)
        *info = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP CXUIDocHostHandlers::XAmbientProperties::GetIDsOfNames(REFIID, LPOLESTR *, UINT count, LCID, DISPID *ids)
{
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CXUIDocHostHandlers::XAmbientProperties::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *,
                                                             VARIANT *result, EXCEPINFO *, UINT *)
{
    // Every other ambient property keeps the browser's default.
    if (id != DISPID_AMBIENT_DLCONTROL || !(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (!result)
        return E_POINTER;
    VariantInit(result);
    V_VT(result) = VT_I4;
    V_I4(result) = static_cast<LONG>(kDownloadControl);
    return S_OK;
}
