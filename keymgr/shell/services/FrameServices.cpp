#include "keymgr/shell/services/FrameServices.h"

#include "keymgr/shell/browser/BrowserPages.h"
#include "keymgr/shell/browser/SslState.h"
#include "keymgr/shell/expiry/ExpiryWarning.h"
#include "keymgr/shell/popup/PopupWnd.h"
#include "keymgr/shell/softkbd/SoftKeyboardState.h"
#include "keymgr/shell/websettings/WebSetFile.h"
#include "keymgr/shell/websettings/WebSetPage.h"
#include "keymgr/shell/websettings/WebSetPageHost.h"
#include "keymgr/shell/websettings/WebSettings.h"

#include <windows.h>

void ReadFrameWebSettings(FrameWebSettings &settings)
{
    CWebSetFile file;
    settings.setEvent = WebPagesEnabled(file);
    settings.urls = ReadWebAddresses(file);
    settings.request = CertRequestEnabled(file) ? 1 : 0;
    settings.requestAddress = ReadCertRequestAddress(file);
    settings.iePrompt = ClosedPromptEnabled(file) ? 1 : 0;
}

void PopupEnsure()
{
    CPopupWnd::Instance();
}

bool PopupExists()
{
    return CPopupWnd::Exists();
}

void PopupShow(const char *text)
{
    CPopupWnd &popup = CPopupWnd::Instance();
    if (popup.Show(text) && popup.Hwnd()) {
        // Whatever the user is typing into stays where it is typed.
        ShowWindow(popup.Hwnd(), SW_SHOWNOACTIVATE);
        UpdateWindow(popup.Hwnd());
    }
}

bool RequestCloseWindowTitled(const char *title)
{
    if (!title || !title[0])
        return false;
    HWND window = FindWindowA(NULL, title);
    return window && PostMessageA(window, WM_CLOSE, 0, 0);
}

void OpenInBrowser(const char *address)
{
    OpenBrowserPage(address);
}

void CloseBrowserWindowsShowing(const std::vector<std::string> &addresses)
{
    CloseBankBrowserWindows(addresses);
}

void ClearBrowserSslState()
{
    EmptySslState();
}

bool BuildExpiryWarning(const char *reader, char *text, size_t size)
{
    return ComposeExpiryWarning(reader, text, size);
}

CPropertyPage *CreateWebSetPage()
{
    CWebSetPage *page = new CWebSetPage();
    page->SetActivationHook(CloseSoftKeyboard);
    return page;
}
