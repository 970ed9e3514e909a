// The program's protocol object: a dispatch interface from the type library
// and a pluggable-protocol face that serves images\test.gif next to the program.
#pragma once

#include "assistant/host/protocol/RuvIdentities.h"

#include <windows.h>
#include <urlmon.h>

class CXUIProtocol : public IXUIProtocol, public IInternetProtocol, public IInternetProtocolInfo {
public:
    // Stand-alone (outer null) or aggregated; aggregation must ask for IUnknown.
    static HRESULT Create(IUnknown *outer, REFIID riid, void **object);

    struct InterfaceEntry {
        const IID *iid;
        void *(*cast)(CXUIProtocol *self);
    };
    // The interfaces answered, in the order they are looked up.
    static const InterfaceEntry *Interfaces(size_t *count);
    // Objects alive in this process (the COM server's lifetime).
    static LONG LiveObjects();

    // IUnknown: the controlling unknown's (the object's own when not aggregated)
    STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch, answered from the registered type library
    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params, VARIANT *result,
                        EXCEPINFO *exception, UINT *argError) override;

    // IInternetProtocolRoot / IInternetProtocol
    STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink *sink, IInternetBindInfo *bindInfo, DWORD flags,
                       HANDLE_PTR reserved) override;
    STDMETHODIMP Continue(PROTOCOLDATA *data) override;
    STDMETHODIMP Abort(HRESULT reason, DWORD options) override;
    STDMETHODIMP Terminate(DWORD options) override;
    STDMETHODIMP Suspend() override;
    STDMETHODIMP Resume() override;
    STDMETHODIMP Read(void *buffer, ULONG size, ULONG *read) override;
    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *position) override;
    STDMETHODIMP LockRequest(DWORD options) override;
    STDMETHODIMP UnlockRequest() override;

    // IInternetProtocolInfo
    STDMETHODIMP ParseUrl(LPCWSTR url, PARSEACTION action, DWORD flags, LPWSTR result, DWORD size, DWORD *written,
                          DWORD reserved) override;
    STDMETHODIMP CombineUrl(LPCWSTR base, LPCWSTR relative, DWORD flags, LPWSTR result, DWORD size, DWORD *written,
                            DWORD reserved) override;
    STDMETHODIMP CompareUrl(LPCWSTR url1, LPCWSTR url2, DWORD flags) override;
    STDMETHODIMP QueryInfo(LPCWSTR url, QUERYOPTION option, DWORD flags, LPVOID buffer, DWORD size, DWORD *written,
                           DWORD reserved) override;

private:
    explicit CXUIProtocol(IUnknown *outer);
    virtual ~CXUIProtocol();
    HRESULT LoadTypeInfo();

    // The object's own unknown, which an aggregating outer object holds.
    class Inner : public IUnknown {
    public:
        STDMETHODIMP QueryInterface(REFIID riid, void **object) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        CXUIProtocol *m_self = nullptr;
    };

    Inner m_inner;
    IUnknown *m_outer;
    LONG m_refs;
    ULONG m_position;  // bytes of the file already delivered
    ITypeInfo *m_typeInfo;
};

// The box Read shows when the file cannot be opened.
extern const char kProtocolMissingFile[];
