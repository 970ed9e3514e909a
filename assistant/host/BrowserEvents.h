// The browser's event sink (DWebBrowserEvents2): the dialog refuses every
// navigation, of the page or of a frame, while a command runs.
#pragma once

#include <windows.h>
#include <oaidl.h>

class INavigationOwner {
public:
    virtual ~INavigationOwner() {}
    virtual bool NavigationBusy() = 0;
    virtual void ShowNavigationBusy() = 0;
};

const DISPID kDispidBeforeNavigate2 = 250;

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

    INavigationOwner &m_owner;
};

extern const IID kDiidWebBrowserEvents2;
