#include "assistant/host/dialog/CXUICustomControlSite.h"

#include "assistant/host/log/HostTrace.h"

CXUICustomControlSite::CXUICustomControlSite(HWND window, IDispatch *external)
    : m_refs(1), m_window(window), m_control(NULL), m_active(NULL),
      m_handlers(static_cast<IOleClientSite *>(this), external)
{
}

CXUICustomControlSite::~CXUICustomControlSite()
{
    DestroyControl();
}

HRESULT CXUICustomControlSite::CreateControl(REFCLSID clsid)
{
    if (m_control)
        return E_UNEXPECTED;
    IOleObject *object = NULL;
    HRESULT hr = CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void **>(&object));
    if (FAILED(hr))
        return hr;
    hr = object->SetClientSite(static_cast<IOleClientSite *>(this));
    if (SUCCEEDED(hr)) {
        RECT rect;
        GetClientRect(m_window, &rect);
        hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, NULL, static_cast<IOleClientSite *>(this), 0, m_window, &rect);
    }
    if (FAILED(hr)) {
        object->SetClientSite(NULL);
        object->Release();
        return hr;
    }
    object->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&m_control));
    object->Release();
    return m_control ? S_OK : E_NOINTERFACE;
}

void CXUICustomControlSite::DestroyControl()
{
    SetActiveObject(NULL, NULL);
    if (!m_control)
        return;
    IUnknown *control = m_control;
    m_control = NULL;
    IOleObject *object = NULL;
    if (SUCCEEDED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void **>(&object)))) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(NULL);
        object->Release();
    }
    control->Release();
}

void CXUICustomControlSite::Resize()
{
    if (!m_control)
        return;
    IOleInPlaceObject *inPlace = NULL;
    if (FAILED(m_control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void **>(&inPlace))))
        return;
    RECT rect;
    GetClientRect(m_window, &rect);
    inPlace->SetObjectRects(&rect, &rect);
    inPlace->Release();
}

bool CXUICustomControlSite::ControlUsesThisSite()
{
    if (!m_control)
        return false;
    IOleObject *object = NULL;
    if (FAILED(m_control->QueryInterface(IID_IOleObject, reinterpret_cast<void **>(&object))))
        return false;
    IOleClientSite *site = NULL;
    bool ours = SUCCEEDED(object->GetClientSite(&site)) && site == static_cast<IOleClientSite *>(this);
    if (site)
        site->Release();
    object->Release();
    return ours;
}

// --- IUnknown

STDMETHODIMP CXUICustomControlSite::QueryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = NULL;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
        *object = static_cast<IOleClientSite *>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
        *object = static_cast<IOleInPlaceSite *>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame))
        *object = static_cast<IOleInPlaceFrame *>(this);
    else if (IsEqualIID(riid, IID_IDocHostUIHandler))
        *object = m_handlers.UIHandler();
    else if (IsEqualIID(riid, kIidDocHostShowUI))
        *object = m_handlers.ShowUIHandler();
    else if (IsEqualIID(riid, IID_IDispatch))
        *object = m_handlers.AmbientProperties();
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CXUICustomControlSite::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CXUICustomControlSite::Release()
{
    LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

// --- IOleClientSite

STDMETHODIMP CXUICustomControlSite::SaveObject()
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUICustomControlSite::GetMoniker(DWORD, DWORD, IMoniker **moniker)
{
    if (moniker)
        *moniker = NULL;
    return E_NOTIMPL;
}
STDMETHODIMP CXUICustomControlSite::GetContainer(IOleContainer **container)
{
    if (container)
        *container = NULL;
    return E_NOINTERFACE;
}
STDMETHODIMP CXUICustomControlSite::ShowObject()
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::OnShowWindow(BOOL)
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

// --- IOleWindow

STDMETHODIMP CXUICustomControlSite::GetWindow(HWND *window)
{
    if (!window)
        return E_POINTER;
    *window = m_window;
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

// --- IOleInPlaceSite

STDMETHODIMP CXUICustomControlSite::CanInPlaceActivate()
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::OnInPlaceActivate()
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::OnUIActivate()
{
    return S_OK;
}

STDMETHODIMP CXUICustomControlSite::GetWindowContext(IOleInPlaceFrame **frame, IOleInPlaceUIWindow **doc,
                                                     LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !doc || !position || !clip || !info)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame *>(this);
    AddRef();
    *doc = NULL;
    GetClientRect(m_window, position);
    *clip = *position;
    info->cb = sizeof(OLEINPLACEFRAMEINFO);
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(m_window, GA_ROOT);
    info->haccel = NULL;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP CXUICustomControlSite::Scroll(SIZE)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUICustomControlSite::OnUIDeactivate(BOOL)
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::OnInPlaceDeactivate()
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::DiscardUndoState()
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUICustomControlSite::DeactivateAndUndo()
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUICustomControlSite::OnPosRectChange(LPCRECT)
{
    Resize();
    return S_OK;
}

// --- IOleInPlaceUIWindow / IOleInPlaceFrame

STDMETHODIMP CXUICustomControlSite::GetBorder(LPRECT)
{
    return INPLACE_E_NOTOOLSPACE;
}
STDMETHODIMP CXUICustomControlSite::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}
STDMETHODIMP CXUICustomControlSite::SetBorderSpace(LPCBORDERWIDTHS)
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::SetActiveObject(IOleInPlaceActiveObject *active, LPCOLESTR)
{
    if (active)
        active->AddRef();
    IOleInPlaceActiveObject *old = m_active;
    m_active = active;
    if (old)
        old->Release();
    if (active != old)
        HostTrace("active object %s", active ? "set" : "cleared");
    return S_OK;
}

bool CXUICustomControlSite::TranslateWithActiveObject(MSG &msg)
{
    if (!m_active || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    // The object may drop itself from the site while it translates.
    IOleInPlaceActiveObject *active = m_active;
    active->AddRef();
    bool consumed = active->TranslateAccelerator(&msg) == S_OK;
    active->Release();
    return consumed;
}
STDMETHODIMP CXUICustomControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUICustomControlSite::SetMenu(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::RemoveMenus(HMENU)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUICustomControlSite::SetStatusText(LPCOLESTR)
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::EnableModeless(BOOL)
{
    return S_OK;
}
STDMETHODIMP CXUICustomControlSite::TranslateAccelerator(LPMSG, WORD)
{
    return S_FALSE;
}
