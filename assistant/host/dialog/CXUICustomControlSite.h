// The site of the embedded browser control: client and in-place site (and
// the frame the control asks for), with the document-host handlers that
// hand the page window.external and customise the browser.
#pragma once

#include "assistant/host/dialog/DocHostHandlers.h"

#include <windows.h>
#include <ole2.h>
#include <oleidl.h>

class CXUICustomControlSite : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    // window: the container window the control fills; external: window.external.
    CXUICustomControlSite(HWND window, IDispatch *external);

    // Creates the control and activates it in place over the window.
    HRESULT CreateControl(REFCLSID clsid);
    void DestroyControl();
    // Fits the control to the window's client area.
    void Resize();
    // The control's own IUnknown (null before CreateControl), no added reference.
    IUnknown *Control() const { return m_control; }
    // Whether the control reports this site as its client site.
    bool ControlUsesThisSite();
    // Offers a key message to the control's active object (the one it gave
    // SetActiveObject); true when that object consumed it.
    bool TranslateWithActiveObject(MSG &msg);
    void SetDocuments(const PageDocuments *documents) { m_handlers.SetDocuments(documents); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker **moniker) override;
    STDMETHODIMP GetContainer(IOleContainer **container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleWindow (both the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND *window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame **frame, IOleInPlaceUIWindow **doc, LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    // IOleInPlaceUIWindow / IOleInPlaceFrame: no tool bars, menus or status line
    STDMETHODIMP GetBorder(LPRECT border) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject *active, LPCOLESTR name) override;
    STDMETHODIMP InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHODIMP SetMenu(HMENU shared, HOLEMENU descriptor, HWND activeObject) override;
    STDMETHODIMP RemoveMenus(HMENU shared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg, WORD id) override;

private:
    virtual ~CXUICustomControlSite();

    LONG m_refs;
    HWND m_window;
    IUnknown *m_control;
    IOleInPlaceActiveObject *m_active;
    CXUIDocHostHandlers m_handlers;
};
