// The dialog's handle on the browser control made from its template.
#pragma once

#include <windows.h>
#include <exdisp.h>

class CWebbrowser {
public:
    CWebbrowser() : m_window(NULL), m_browser(NULL), m_cookie(0), m_sink(NULL) {}
    ~CWebbrowser() { Detach(); }

    // Binds to the host window of the control; false when it holds no browser.
    bool Attach(HWND hostWindow);
    void Detach();
    HWND Window() const { return m_window; }
    IWebBrowser2 *Browser() const { return m_browser; }
    bool UsesOurSite() const;

    // Navigate to url (UTF-8) with no flags, target frame, post data or headers.
    HRESULT Navigate(const char *url);
    // Connects the sink to the browser's DWebBrowserEvents2.
    HRESULT Advise(IDispatch *sink);

private:
    HWND m_window;
    IWebBrowser2 *m_browser;
    DWORD m_cookie;
    IConnectionPoint *m_sink;
};
