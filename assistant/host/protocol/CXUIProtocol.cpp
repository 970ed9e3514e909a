#include "assistant/host/protocol/CXUIProtocol.h"

#include "assistant/host/protocol/ProgramPaths.h"
#include "common/win32/ProgramPath.h"

#include <new>
#include <string>

const char kProtocolMissingFile[] = "Can not open file.";

static LONG g_liveObjects = 0;

namespace {

void *AsDispatch(CXUIProtocol *self) { return static_cast<IXUIProtocol *>(self); }
void *AsInfo(CXUIProtocol *self) { return static_cast<IInternetProtocolInfo *>(self); }
void *AsProtocol(CXUIProtocol *self) { return static_cast<IInternetProtocol *>(self); }

const CXUIProtocol::InterfaceEntry kInterfaceTable[] = {
    {&kIidIXUIProtocol, AsDispatch},
    {&IID_IDispatch, AsDispatch},
    {&IID_IInternetProtocolInfo, AsInfo},
    {&IID_IInternetProtocol, AsProtocol},
    {&IID_IInternetProtocolRoot, AsProtocol},
};

}  // namespace

const CXUIProtocol::InterfaceEntry *CXUIProtocol::Interfaces(size_t *count)
{
    if (count)
        *count = sizeof(kInterfaceTable) / sizeof(kInterfaceTable[0]);
    return kInterfaceTable;
}

LONG CXUIProtocol::LiveObjects()
{
    return g_liveObjects;
}

HRESULT CXUIProtocol::Create(IUnknown *outer, REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = NULL;
    if (outer && !IsEqualIID(riid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    CXUIProtocol *protocol = new (std::nothrow) CXUIProtocol(outer);
    if (!protocol)
        return E_OUTOFMEMORY;
    // The inner unknown carries the object's own count in both cases.
    HRESULT hr = protocol->m_inner.QueryInterface(riid, object);
    protocol->m_inner.Release();
    return hr;
}

CXUIProtocol::CXUIProtocol(IUnknown *outer) : m_outer(outer), m_refs(1), m_position(0), m_typeInfo(NULL)
{
    m_inner.m_self = this;
    if (!m_outer)
        m_outer = &m_inner;
    InterlockedIncrement(&g_liveObjects);
}

CXUIProtocol::~CXUIProtocol()
{
    if (m_typeInfo)
        m_typeInfo->Release();
    InterlockedDecrement(&g_liveObjects);
}

// --- the object's own unknown

STDMETHODIMP CXUIProtocol::Inner::QueryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = NULL;
    if (IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<IUnknown *>(this);
    } else {
        for (const InterfaceEntry &entry : kInterfaceTable) {
            if (IsEqualIID(riid, *entry.iid)) {
                *object = entry.cast(m_self);
                break;
            }
        }
    }
    if (!*object)
        return E_NOINTERFACE;
    static_cast<IUnknown *>(*object)->AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CXUIProtocol::Inner::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_self->m_refs));
}

STDMETHODIMP_(ULONG) CXUIProtocol::Inner::Release()
{
    LONG refs = InterlockedDecrement(&m_self->m_refs);
    if (refs == 0)
        delete m_self;
    return static_cast<ULONG>(refs);
}

// --- the controlling unknown

STDMETHODIMP CXUIProtocol::QueryInterface(REFIID riid, void **object)
{
    return m_outer->QueryInterface(riid, object);
}
STDMETHODIMP_(ULONG) CXUIProtocol::AddRef()
{
    return m_outer->AddRef();
}
STDMETHODIMP_(ULONG) CXUIProtocol::Release()
{
    return m_outer->Release();
}

// --- IDispatch

HRESULT CXUIProtocol::LoadTypeInfo()
{
    if (m_typeInfo)
        return S_OK;
    ITypeLib *library = NULL;
    HRESULT hr = LoadRegTypeLib(kLibidRUVLib, kRuvLibMajor, kRuvLibMinor, LOCALE_NEUTRAL, &library);
    if (FAILED(hr))
        return hr;
    hr = library->GetTypeInfoOfGuid(kIidIXUIProtocol, &m_typeInfo);
    library->Release();
    return hr;
}

STDMETHODIMP CXUIProtocol::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP CXUIProtocol::GetTypeInfo(UINT index, LCID, ITypeInfo **info)
{
    if (!info)
        return E_POINTER;
    *info = NULL;
    if (index != 0)
        return DISP_E_BADINDEX;
    HRESULT hr = LoadTypeInfo();
    if (FAILED(hr))
        return hr;
    m_typeInfo->AddRef();
    *info = m_typeInfo;
    return S_OK;
}

STDMETHODIMP CXUIProtocol::GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids)
{
    HRESULT hr = LoadTypeInfo();
    if (FAILED(hr))
        return hr;
    return DispGetIDsOfNames(m_typeInfo, names, count, ids);
}

STDMETHODIMP CXUIProtocol::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                  EXCEPINFO *exception, UINT *argError)
{
    HRESULT hr = LoadTypeInfo();
    if (FAILED(hr))
        return hr;
    return DispInvoke(static_cast<IXUIProtocol *>(this), m_typeInfo, id, flags, params, result, exception, argError);
}

// --- IInternetProtocolRoot / IInternetProtocol

STDMETHODIMP CXUIProtocol::Start(LPCWSTR, IInternetProtocolSink *, IInternetBindInfo *, DWORD, HANDLE_PTR)
{
    return S_OK;
}
STDMETHODIMP CXUIProtocol::Continue(PROTOCOLDATA *)
{
    return S_OK;
}
STDMETHODIMP CXUIProtocol::Abort(HRESULT, DWORD)
{
    return S_OK;
}
STDMETHODIMP CXUIProtocol::Terminate(DWORD)
{
    return S_OK;
}
STDMETHODIMP CXUIProtocol::Suspend()
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIProtocol::Resume()
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIProtocol::Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER *)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXUIProtocol::LockRequest(DWORD)
{
    return S_OK;
}
STDMETHODIMP CXUIProtocol::UnlockRequest()
{
    return S_OK;
}

STDMETHODIMP CXUIProtocol::Read(void *buffer, ULONG size, ULONG *read)
{
    if (read)
        *read = 0;
    if (!buffer && size > 0)
        return E_POINTER;
    std::string path = ProtocolFilePath(ProgramPath());
    HANDLE file = path.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        MessageBoxA(NULL, kProtocolMissingFile, "Orvane_Assistant", MB_OK);
        return S_FALSE;
    }
    HRESULT hr = S_FALSE;
    DWORD length = GetFileSize(file, NULL);
    if (length != INVALID_FILE_SIZE && length > m_position &&
        SetFilePointer(file, static_cast<LONG>(m_position), NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER) {
        DWORD got = 0;
        if (ReadFile(file, buffer, size, &got, NULL)) {
            m_position += got;
            if (read)
                *read = got;
            hr = S_OK;
        }
    }
    CloseHandle(file);
    return hr;
}

// --- IInternetProtocolInfo

STDMETHODIMP CXUIProtocol::ParseUrl(LPCWSTR, PARSEACTION, DWORD, LPWSTR, DWORD, DWORD *, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}
STDMETHODIMP CXUIProtocol::CombineUrl(LPCWSTR, LPCWSTR, DWORD, LPWSTR, DWORD, DWORD *, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}
STDMETHODIMP CXUIProtocol::CompareUrl(LPCWSTR url1, LPCWSTR url2, DWORD)
{
    return url1 && url2 ? S_FALSE : E_POINTER;
}
STDMETHODIMP CXUIProtocol::QueryInfo(LPCWSTR, QUERYOPTION, DWORD, LPVOID, DWORD, DWORD *, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}
