// The document-host answers of the browser's control site: no context menu,
// no border or scroll bars, Ctrl+O/P/N swallowed, the page's message boxes
// shown by the host, and window.external.
#pragma once

#include "assistant/host/protocol/PageAddress.h"

#include <windows.h>
#include <mshtmhst.h>

#include <string>

// The nested handler objects of the control site; their IUnknown is the
// site's (outer), and GetExternal hands out external, but only while the
// documents shown are the program's own resources.
class CXUIDocHostHandlers {
public:
    CXUIDocHostHandlers(IUnknown *outer, IDispatch *external);

    // What the browser shows (kept by the dialog); null: no bridge at all.
    void SetDocuments(const PageDocuments *documents) { m_documents = documents; }

    class XDocHostUIHandler : public IDocHostUIHandler {
    public:
        STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP ShowContextMenu(DWORD id, POINT *point, IUnknown *target, IDispatch *object) override;
        STDMETHODIMP GetHostInfo(DOCHOSTUIINFO *info) override;
        STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject *active, IOleCommandTarget *target, IOleInPlaceFrame *frame,
                            IOleInPlaceUIWindow *doc) override;
        STDMETHODIMP HideUI() override;
        STDMETHODIMP UpdateUI() override;
        STDMETHODIMP EnableModeless(BOOL enable) override;
        STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
        STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
        STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow *window, BOOL frameWindow) override;
        STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID *group, DWORD command) override;
        STDMETHODIMP GetOptionKeyPath(LPOLESTR *key, DWORD reserved) override;
        STDMETHODIMP GetDropTarget(IDropTarget *target, IDropTarget **replacement) override;
        STDMETHODIMP GetExternal(IDispatch **external) override;
        STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR *translated) override;
        STDMETHODIMP FilterDataObject(IDataObject *object, IDataObject **replacement) override;

        CXUIDocHostHandlers *m_owner = nullptr;
    };

    class XDocHostShowUI : public IDocHostShowUI {
    public:
        STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP ShowMessage(HWND window, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                                 DWORD helpContext, LRESULT *result) override;
        STDMETHODIMP ShowHelp(HWND window, LPOLESTR helpFile, UINT command, DWORD data, POINT point,
                              IDispatch *hit) override;

        CXUIDocHostHandlers *m_owner = nullptr;
    };

    // The site's ambient properties, which the browser reads through the
    // client site's IDispatch: only the download control is answered.
    class XAmbientProperties : public IDispatch {
    public:
        STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetTypeInfoCount(UINT *count) override;
        STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override;
        STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override;
        STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS *params, VARIANT *result,
                            EXCEPINFO *exception, UINT *argError) override;

        CXUIDocHostHandlers *m_owner = nullptr;
    };

    IDocHostUIHandler *UIHandler() { return &m_xDocHostUIHandler; }
    IDocHostShowUI *ShowUIHandler() { return &m_xDocHostShowUI; }
    IDispatch *AmbientProperties() { return &m_xAmbientProperties; }

private:
    IUnknown *m_outer;
    IDispatch *m_external;
    const PageDocuments *m_documents;
    ModulePath m_programPath;
    XDocHostUIHandler m_xDocHostUIHandler;
    XDocHostShowUI m_xDocHostShowUI;
    XAmbientProperties m_xAmbientProperties;
};

// DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_THEME
const DWORD kDocHostFlags = 0x4000C;
// The download control the browser asks its host for: pictures, videos and
// background sounds as usual, but no ActiveX control is downloaded or run
// and no Java applet, in the page or any frame (an administrator process).
// DLCTL_DLIMAGES | DLCTL_VIDEOS | DLCTL_BGSOUNDS | DLCTL_NO_JAVA |
// DLCTL_NO_RUNACTIVEXCTLS | DLCTL_NO_DLACTIVEXCTLS
const DWORD kDownloadControl = 0x10 | 0x20 | 0x40 | 0x100 | 0x200 | 0x400;
// Not in the platform's uuid library.
extern const IID kIidDocHostShowUI;
// The caption of every message box the page asks for.
extern const wchar_t kPageMessageCaption[];
