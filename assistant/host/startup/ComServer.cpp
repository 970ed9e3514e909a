#include "assistant/host/startup/ComServer.h"

#include "assistant/host/protocol/CXUIProtocol.h"
#include "assistant/host/protocol/ProgramPaths.h"
#include "assistant/host/protocol/RuvIdentities.h"
#include "assistant/host/startup/Registrar.h"

const CLSID kClsidRegistrar = {0x44EC053A, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};
const IID kIidRegistrar = {0x44EC053B, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};

namespace {

LONG g_locks = 0;
bool g_used = false;

class CProtocolFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory *>(this);
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    // A static object: the count never destroys it.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **object) override
    {
        g_used = true;
        return CXUIProtocol::Create(outer, riid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

CProtocolFactory g_protocolFactory;

std::wstring Wide(const std::string &text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, NULL, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(n - 1);
    return wide;
}

std::string FolderOf(const std::string &path)
{
    std::string file = ProtocolFilePath(path);  // <folder>\images\test.gif
    const size_t tail = sizeof("\\images\\test.gif") - 1;
    return file.size() > tail ? file.substr(0, file.size() - tail) : std::string();
}

// Applies both scripts of the program file, in register or unregister mode.
HRESULT RunScripts(const std::string &programPath, bool registering)
{
    IRegistrar *registrar = NULL;
    HRESULT hr = CoCreateInstance(kClsidRegistrar, NULL, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                  reinterpret_cast<void **>(&registrar));
    if (FAILED(hr))
        return hr;
    std::wstring module = Wide(QuotedModulePath(programPath));
    std::wstring appId = Wide(kAppIdText);
    std::wstring file = Wide(programPath);
    hr = registrar->AddReplacement(L"MODULE", module.c_str());
    if (SUCCEEDED(hr))
        hr = registrar->AddReplacement(L"APPID", appId.c_str());
    const UINT scripts[] = {kRegistryAppId, kRegistryProtocol};
    for (UINT id : scripts) {
        if (FAILED(hr))
            break;
        hr = registering ? registrar->ResourceRegister(file.c_str(), id, L"REGISTRY")
                         : registrar->ResourceUnregister(file.c_str(), id, L"REGISTRY");
    }
    registrar->Release();
    return hr;
}

}  // namespace

HRESULT CComServer::RegisterClassObjects()
{
    if (m_registered)
        return S_OK;
    HRESULT hr = CoRegisterClassObject(kClsidCXUIProtocol, &g_protocolFactory, CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE, &m_cookie);
    if (SUCCEEDED(hr))
        m_registered = true;
    return hr;
}

void CComServer::RevokeClassObjects()
{
    if (!m_registered)
        return;
    CoRevokeClassObject(m_cookie);
    m_registered = false;
    m_cookie = 0;
}

bool CComServer::ServerIdle()
{
    return g_used && g_locks <= 0 && CXUIProtocol::LiveObjects() == 0;
}

HRESULT CComServer::RegisterServer(const std::string &programPath)
{
    HRESULT hr = RunScripts(programPath, true);
    if (FAILED(hr))
        return hr;
    std::wstring file = Wide(programPath);
    std::wstring help = Wide(FolderOf(programPath));
    ITypeLib *library = NULL;
    hr = LoadTypeLibEx(file.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr))
        return hr;
    hr = RegisterTypeLib(library, const_cast<LPOLESTR>(file.c_str()),
                         help.empty() ? NULL : const_cast<LPOLESTR>(help.c_str()));
    library->Release();
    return hr;
}

HRESULT CComServer::UnregisterServer(const std::string &programPath)
{
    HRESULT hr = RunScripts(programPath, false);
    HRESULT typeLib = UnRegisterTypeLib(kLibidRUVLib, kRuvLibMajor, kRuvLibMinor, LOCALE_NEUTRAL, SYS_WIN32);
    // A library that was never registered is no failure of the removal.
    if (SUCCEEDED(hr) && FAILED(typeLib) && typeLib != TYPE_E_REGISTRYACCESS && typeLib != TYPE_E_LIBNOTREGISTERED)
        hr = typeLib;
    return hr;
}
