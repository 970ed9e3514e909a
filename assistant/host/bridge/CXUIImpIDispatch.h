// window.external of the page: one RUVSysCall member, as a boolean property
// (so the page can tell it runs inside the assistant) and as the command method.
#pragma once

#include "assistant/host/bridge/CommandDispatch.h"

#include <windows.h>
#include <oaidl.h>

// Receives the page's RUVSysCall(CmdId, Args) method calls.
class IRuvSysCallHandler {
public:
    virtual ~IRuvSysCallHandler() {}
    virtual DispatchOutcome OnRuvSysCall(const CommandCall &call) = 0;
};

const DISPID kDispidRuvSysCall = 1;

class CXUIImpIDispatch : public IDispatch {
public:
    CXUIImpIDispatch() : m_refs(0), m_handler(NULL) {}
    virtual ~CXUIImpIDispatch() {}

    // The dialog that runs the commands; null answers the method with nothing.
    void SetHandler(IRuvSysCallHandler *handler) { m_handler = handler; }
    LONG RefCount() const { return m_refs; }

    // IUnknown: only IDispatch is offered; the count never destroys the object.
    STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params, VARIANT *result,
                        EXCEPINFO *exception, UINT *argError) override;

private:
    HRESULT InvokeRuvSysCall(WORD flags, DISPPARAMS *params, VARIANT *result);
    LONG m_refs;
    IRuvSysCallHandler *m_handler;
};

// Reads (CmdId, Args) from the arguments as the page passed them (the first
// argument comes last in the array). Fewer than two arguments or a second
// argument that is not a string make the call malformed.
CommandCall ReadRuvSysCall(const DISPPARAMS *params);
