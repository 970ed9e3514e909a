#include "assistant/host/dialog/CWebbrowser.h"

#include "assistant/host/dialog/BrowserEvents.h"
#include "assistant/host/dialog/CXUICustomOccManager.h"

#include <ocidl.h>

#include <string>

bool CWebbrowser::Attach(HWND hostWindow)
{
    Detach();
    CXUICustomControlSite *site = ControlSiteOf(hostWindow);
    if (!site || !site->Control())
        return false;
    if (FAILED(site->Control()->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void **>(&m_browser)))) {
        m_browser = NULL;
        return false;
    }
    m_window = hostWindow;
    return true;
}

void CWebbrowser::Detach()
{
    if (m_sink) {
        m_sink->Unadvise(m_cookie);
        m_sink->Release();
        m_sink = NULL;
        m_cookie = 0;
    }
    if (m_browser) {
        m_browser->Release();
        m_browser = NULL;
    }
    m_window = NULL;
}

bool CWebbrowser::UsesOurSite() const
{
    CXUICustomControlSite *site = ControlSiteOf(m_window);
    return site && site->ControlUsesThisSite();
}

HRESULT CWebbrowser::Navigate(const char *url)
{
    if (!m_browser)
        return E_UNEXPECTED;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, url, -1, NULL, 0);
    if (n <= 0)
        return E_INVALIDARG;
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, url, -1, &wide[0], n);
    BSTR address = SysAllocString(wide.c_str());
    if (!address)
        return E_OUTOFMEMORY;
    VARIANT none;
    VariantInit(&none);
    HRESULT hr = m_browser->Navigate(address, &none, &none, &none, &none);
    SysFreeString(address);
    return hr;
}

HRESULT CWebbrowser::Advise(IDispatch *sink)
{
    if (!m_browser || !sink)
        return E_UNEXPECTED;
    if (m_sink)
        return S_OK;
    IConnectionPointContainer *container = NULL;
    HRESULT hr = m_browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void **>(&container));
    if (FAILED(hr))
        return hr;
    hr = container->FindConnectionPoint(kDiidWebBrowserEvents2, &m_sink);
    container->Release();
    if (FAILED(hr)) {
        m_sink = NULL;
        return hr;
    }
    hr = m_sink->Advise(sink, &m_cookie);
    if (FAILED(hr)) {
        m_sink->Release();
        m_sink = NULL;
    }
    return hr;
}
