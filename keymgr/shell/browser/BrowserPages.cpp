#include "keymgr/shell/browser/BrowserPages.h"

#include "keymgr/shell/browser/BrowserAddress.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>
#include <shellapi.h>

namespace {

// {9BA05972-F6A8-11CF-A442-00A0C90A8F39}
const CLSID kClsidShellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};

std::string AnsiFromBstr(BSTR text)
{
    if (!text)
        return std::string();
    int length = (int)SysStringLen(text);
    if (length == 0)
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, NULL, 0, NULL, NULL);
    if (n <= 0)
        return std::string();
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, NULL, NULL);
    return out;
}

// One window of the list, or false when it is not a browser.
bool ReadWindow(IShellWindows *shell, long index, BrowserWindowInfo *info)
{
    VARIANT which;
    VariantInit(&which);
    which.vt = VT_I4;
    which.lVal = index;
    IDispatch *item = NULL;
    if (FAILED(shell->Item(which, &item)) || !item)
        return false;
    IWebBrowser2 *browser = NULL;
    HRESULT hr = item->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void **>(&browser));
    item->Release();
    if (FAILED(hr) || !browser)
        return false;
    bool ok = false;
    SHANDLE_PTR window = 0;
    BSTR location = NULL;
    if (SUCCEEDED(browser->get_HWND(&window)) && SUCCEEDED(browser->get_LocationURL(&location))) {
        info->window = (uintptr_t)window;
        info->location = AnsiFromBstr(location);
        ok = true;
    }
    if (location)
        SysFreeString(location);
    browser->Release();
    return ok;
}

void *__stdcall ShellExecuteOpen(void *window, const char *verb, const char *file, const char *parameters,
                                 const char *directory, int show)
{
    return ShellExecuteA(static_cast<HWND>(window), verb, file, parameters, directory, show);
}

ShellOpenFn g_shellOpen = ShellExecuteOpen;

} // namespace

void SetShellOpenForTests(ShellOpenFn open)
{
    g_shellOpen = open ? open : ShellExecuteOpen;
}

bool OpenBrowserPage(const char *address)
{
    std::string argument;
    if (!address || !BrowserArgumentFor(address, &argument))
        return false;
    void *rc = g_shellOpen(NULL, "open", "iexplore.exe", argument.c_str(), NULL, SW_SHOWNORMAL);
    return (INT_PTR)rc > 32;
}

int OpenBrowserPages(const std::vector<std::string> &addresses)
{
    int opened = 0;
    for (size_t i = 0; i < addresses.size(); ++i)
        if (OpenBrowserPage(addresses[i].c_str()))
            ++opened;
    return opened;
}

bool CShellBrowserWindows::List(std::vector<BrowserWindowInfo> *windows)
{
    if (!windows)
        return false;
    windows->clear();
    HRESULT init = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    bool ok = false;
    IShellWindows *shell = NULL;
    if (SUCCEEDED(CoCreateInstance(kClsidShellWindows, NULL, CLSCTX_ALL, IID_IShellWindows,
                                   reinterpret_cast<void **>(&shell))) &&
        shell) {
        long count = 0;
        if (SUCCEEDED(shell->get_Count(&count))) {
            ok = true;
            for (long i = 0; i < count; ++i) {
                BrowserWindowInfo info;
                if (ReadWindow(shell, i, &info))
                    windows->push_back(info);
            }
        }
        shell->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}

int CloseBrowserWindowsMatching(IBrowserWindowList &list, const std::vector<std::string> &addresses)
{
    std::vector<BrowserWindowInfo> windows;
    if (!list.List(&windows))
        return -1;
    std::vector<uintptr_t> targets = BrowserWindowsToClose(windows, addresses);
    int closed = 0;
    for (size_t i = 0; i < targets.size(); ++i)
        if (PostMessageA(reinterpret_cast<HWND>(targets[i]), WM_CLOSE, 0, 0))
            ++closed;
    return closed;
}

int CloseBankBrowserWindows(const std::vector<std::string> &addresses)
{
    CShellBrowserWindows shell;
    return CloseBrowserWindowsMatching(shell, addresses);
}
