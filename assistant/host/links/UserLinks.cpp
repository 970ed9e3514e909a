#include "assistant/host/links/UserLinks.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <vector>

namespace {

template <class T> void ReleaseAll(T *&p)
{
    if (p) {
        p->Release();
        p = NULL;
    }
}

// The desktop's folder view belongs to the shell's process; its
// Application object runs ShellExecute there, with the user's own rights.
IShellDispatch2 *DesktopShellDispatch()
{
    IShellWindows *windows = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, NULL, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                reinterpret_cast<void **>(&windows))))
        return NULL;
    VARIANT location, root;
    VariantInit(&location);
    VariantInit(&root);
    V_VT(&location) = VT_I4;
    V_I4(&location) = CSIDL_DESKTOP;
    long hwnd = 0;
    IDispatch *desktop = NULL;
    HRESULT hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &desktop);
    ReleaseAll(windows);
    if (hr != S_OK || !desktop)
        return NULL;

    IServiceProvider *services = NULL;
    IShellBrowser *browser = NULL;
    IShellView *view = NULL;
    IDispatch *background = NULL;
    IShellFolderViewDual *folderView = NULL;
    IDispatch *application = NULL;
    IShellDispatch2 *shell = NULL;
    if (SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void **>(&services))) &&
        SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, reinterpret_cast<void **>(&browser))) &&
        SUCCEEDED(browser->QueryActiveShellView(&view)) &&
        SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void **>(&background))) &&
        SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void **>(&folderView))) &&
        SUCCEEDED(folderView->get_Application(&application)) && application)
        application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void **>(&shell));
    ReleaseAll(application);
    ReleaseAll(folderView);
    ReleaseAll(background);
    ReleaseAll(view);
    ReleaseAll(browser);
    ReleaseAll(services);
    ReleaseAll(desktop);
    return shell;
}

}  // namespace

bool CUserLinkPlatform::OpenThroughDesktopShell(const std::string &url)
{
    IShellDispatch2 *shell = DesktopShellDispatch();
    if (!shell)
        return false;
    std::vector<wchar_t> wide(url.size() + 1);
    int n = MultiByteToWideChar(CP_ACP, 0, url.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    BSTR file = n > 0 ? SysAllocString(wide.data()) : NULL;
    VARIANT none, operation, show;
    VariantInit(&none);
    VariantInit(&operation);
    VariantInit(&show);
    V_VT(&operation) = VT_BSTR;
    V_BSTR(&operation) = SysAllocString(L"open");
    V_VT(&show) = VT_I4;
    V_I4(&show) = SW_SHOWNORMAL;
    HRESULT hr = file && V_BSTR(&operation) ? shell->ShellExecute(file, none, none, operation, show) : E_OUTOFMEMORY;
    VariantClear(&operation);
    SysFreeString(file);
    shell->Release();
    return hr == S_OK;
}

bool CUserLinkPlatform::ReadMachineString(const std::string &key, std::string &value)
{
    HKEY handle = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    char buffer[1024];
    DWORD type = 0, size = sizeof(buffer) - 1;
    LONG rc = RegQueryValueExA(handle, NULL, NULL, &type, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(handle);
    // An expandable string would take its variables from the user's environment.
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return false;
    buffer[size < sizeof(buffer) ? size : sizeof(buffer) - 1] = '\0';
    value = buffer;
    return true;
}

bool CUserLinkPlatform::StartProgram(const std::string &application, const std::string &commandLine)
{
    size_t slash = application.find_last_of('\\');
    std::string folder = application.substr(0, slash > 2 ? slash : 3);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(application.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

LinkOutcome OpenUserLink(const std::string &url)
{
    CUserLinkPlatform platform;
    return OpenLinkAsUser(url, platform);
}

const char *LinkOutcomeName(LinkOutcome outcome)
{
    switch (outcome) {
    case LinkOutcome::Refused:
        return "refused";
    case LinkOutcome::DesktopShell:
        return "by the desktop shell";
    case LinkOutcome::MachineBrowser:
        return "by the machine's browser";
    default:
        return "not opened";
    }
}
