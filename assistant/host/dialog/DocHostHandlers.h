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

    IDocHostUIHandler *UIHandler() { return &m_xDocHostUIHandler; }
    IDocHostShowUI *ShowUIHandler() { return &m_xDocHostShowUI; }

private:
    IUnknown *m_outer;
    IDispatch *m_external;
    const PageDocuments *m_documents;
    ModulePath m_programPath;
    XDocHostUIHandler m_xDocHostUIHandler;
    XDocHostShowUI m_xDocHostShowUI;
};

// DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_THEME
const DWORD kDocHostFlags = 0x4000C;
// Not in the platform's uuid library.
extern const IID kIidDocHostShowUI;
// The caption of every message box the page asks for.
extern const wchar_t kPageMessageCaption[];
