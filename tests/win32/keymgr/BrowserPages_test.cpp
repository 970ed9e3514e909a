// Browser actions: opening through the shell, closing through the window
// list seam, the shell's own list under Wine, and the SSL-state clearing.
#include "keymgr/shell/BrowserPages.h"
#include "keymgr/shell/SslState.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

class FakeList : public IBrowserWindowList {
public:
    bool ok = true;
    std::vector<BrowserWindowInfo> windows;
    bool List(std::vector<BrowserWindowInfo> *out) override
    {
        if (ok)
            *out = windows;
        return ok;
    }
};

HWND MakeWindow(const char *title)
{
    return CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

TEST(BrowserPages, ClosesOnlyTheWindowsShowingAConfiguredAddress)
{
    HWND bank = MakeWindow("bank"), other = MakeWindow("other"), bank2 = MakeWindow("bank2");
    ASSERT_TRUE(bank && other && bank2);
    FakeList list;
    list.windows = {{(uintptr_t)bank, "https://EBank.Example.cn/login"},
                    {(uintptr_t)other, "https://news.example/"},
                    {(uintptr_t)bank2, "https://pay.example/x"}};
    EXPECT_EQ(2, CloseBrowserWindowsMatching(list, {"ebank.example.cn", "PAY.example"}));
    Pump(); // WM_CLOSE was posted; the default handling destroys the window
    EXPECT_FALSE(IsWindow(bank));
    EXPECT_FALSE(IsWindow(bank2));
    EXPECT_TRUE(IsWindow(other));
    DestroyWindow(other);
}

TEST(BrowserPages, NoListNoClose)
{
    HWND w = MakeWindow("bank");
    FakeList list;
    list.ok = false;
    list.windows = {{(uintptr_t)w, "https://bank.example/"}};
    EXPECT_EQ(-1, CloseBrowserWindowsMatching(list, {"bank.example"}));
    Pump();
    EXPECT_TRUE(IsWindow(w));
    list.ok = true;
    EXPECT_EQ(0, CloseBrowserWindowsMatching(list, {}));
    EXPECT_EQ(0, CloseBrowserWindowsMatching(list, {""}));
    Pump();
    EXPECT_TRUE(IsWindow(w));
    DestroyWindow(w);
}

TEST(BrowserPages, ShellWindowListFailsQuietlyUnderWine)
{
    // This Wine creates ShellWindows but answers E_NOTIMPL to get_Count.
    CShellBrowserWindows shell;
    std::vector<BrowserWindowInfo> windows;
    bool listed = shell.List(&windows);
    if (listed) {
        GTEST_LOG_(INFO) << "the shell listed " << windows.size() << " browser windows";
    } else {
        EXPECT_TRUE(windows.empty());
        EXPECT_EQ(-1, CloseBankBrowserWindows({"bank.example"}));
    }
    // COM is left as it was found: a second try behaves the same.
    EXPECT_EQ(listed, shell.List(&windows));
}

TEST(BrowserPages, OpensTheRegisteredBrowserWithTheAddress)
{
    // Stand in for the browser: App Paths sends "iexplore.exe" to cmd.exe,
    // and the "address" makes cmd write a file.
    char temp[MAX_PATH], out[MAX_PATH], system[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    snprintf(out, sizeof(out), "%se5-open-%lu.txt", temp, GetCurrentProcessId());
    DeleteFileA(out);
    GetSystemDirectoryA(system, sizeof(system));
    std::string cmd = std::string(system) + "\\cmd.exe";
    HKEY key;
    const char *appPath = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe";
    char saved[MAX_PATH] = "";
    LONG savedSize = sizeof(saved);
    bool hadOld = RegQueryValueA(HKEY_LOCAL_MACHINE, appPath, saved, &savedSize) == ERROR_SUCCESS;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, appPath, &key));
    RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE *)cmd.c_str(), (DWORD)cmd.size() + 1);
    RegCloseKey(key);

    std::string address = std::string("/c echo opened>\"") + out + "\"";
    EXPECT_TRUE(OpenBrowserPage(address.c_str()));
    DWORD start = GetTickCount();
    while (GetFileAttributesA(out) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 10000)
        Sleep(50);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out));
    DeleteFileA(out);

    EXPECT_FALSE(OpenBrowserPage(""));
    EXPECT_FALSE(OpenBrowserPage(NULL));
    EXPECT_EQ(0, OpenBrowserPages({"", ""}));

    if (hadOld)
        RegSetValueA(HKEY_LOCAL_MACHINE, appPath, REG_SZ, saved, (DWORD)strlen(saved));
    else
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPath);
}

TEST(SslState, ClearsThroughBothLibrariesAndSkipsAMissingOne)
{
    EXPECT_EQ(SSL_CLEARED_SCHANNEL | SSL_CLEARED_WININET, EmptySslState());
    EXPECT_EQ((unsigned)SSL_CLEARED_WININET, EmptySslState("no-such-schannel.dll", "WININET.DLL"));
    EXPECT_EQ((unsigned)SSL_CLEARED_SCHANNEL, EmptySslState("SCHANNEL.DLL", "KERNEL32.DLL")); // no such function
    EXPECT_EQ(0u, EmptySslState(NULL, NULL));
}

} // namespace
