// The browser's event sink (DWebBrowserEvents2): hands the dialog every
// navigation to decide on, every document shown, and every new window the
// page asks for (which is always cancelled here).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

class INavigationOwner {
public:
    virtual ~INavigationOwner() {}
    // frame: the browser or the frame object navigating. True cancels.
    virtual bool BeforeNavigate(IDispatch *frame, const std::string &url) = 0;
    // frame now shows url.
    virtual void NavigateComplete(IDispatch *frame, const std::string &url) = 0;
    // The page asked for a new window on url; it is never made here.
    virtual void OpenNewWindow(const std::string &url) = 0;
};

const DISPID kDispidBeforeNavigate2 = 250;
const DISPID kDispidNavigateComplete2 = 252;
const DISPID kDispidNewWindow3 = 273;

class CXUIBrowserEvents : public IDispatch {
public:
    explicit CXUIBrowserEvents(INavigationOwner &owner) : m_owner(owner) {}

    // Owned by the dialog: the count never destroys it.
    STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params, VARIANT *result,
                        EXCEPINFO *exception, UINT *argError) override;

private:
    void BeforeNavigate2(DISPPARAMS *params);
    void NavigateComplete2(DISPPARAMS *params);
    void NewWindow3(DISPPARAMS *params);

    INavigationOwner &m_owner;
};

extern const IID kDiidWebBrowserEvents2;

// An address as UTF-8, every character kept (the own-address rule compares
// the program's path in Unicode); empty when it is not well formed.
std::string AddressText(const wchar_t *url);
