// The bank's pages in the browser: opened by address, and closed by address
// through the shell's list of browser windows.
#pragma once

#include "keymgr/shell/browser/BrowserMatch.h"

#include <string>
#include <vector>

// ShellExecute "open" of "iexplore.exe" with the address quoted, shown
// normally. Anything but an http or https address opens nothing. True when
// the shell started it.
bool OpenBrowserPage(const char *address);

// The shell call OpenBrowserPage makes (ShellExecuteA's shape); tests
// replace it, NULL restores ShellExecuteA.
typedef void *(__stdcall *ShellOpenFn)(void *window, const char *verb, const char *file, const char *parameters,
                                       const char *directory, int show);
void SetShellOpenForTests(ShellOpenFn open);

// Opens each address in order; returns how many the shell started.
int OpenBrowserPages(const std::vector<std::string> &addresses);

// The browser windows with their addresses.
class IBrowserWindowList {
public:
    virtual ~IBrowserWindowList() {}
    // False when the list cannot be had.
    virtual bool List(std::vector<BrowserWindowInfo> *windows) = 0;
};

// The shell's window list (ShellWindows). Under Wine it answers E_NOTIMPL,
// which makes List fail.
class CShellBrowserWindows : public IBrowserWindowList {
public:
    bool List(std::vector<BrowserWindowInfo> *windows) override;
};

// Posts WM_CLOSE to every listed window whose address contains one of the
// addresses; returns the number closed, or -1 when there was no list.
int CloseBrowserWindowsMatching(IBrowserWindowList &list, const std::vector<std::string> &addresses);

// The same through the shell's window list; fails quietly.
int CloseBankBrowserWindows(const std::vector<std::string> &addresses);
