// Browser actions: opening through the shell, closing through the window
// list seam, the shell's own list under Wine, and the SSL-state clearing.
#include "keymgr/shell/browser/BrowserPages.h"
#include "keymgr/shell/browser/SslState.h"

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

struct ShellCall {
    std::string verb, file, parameters;
    bool directoryNull;
    int show;
};
std::vector<ShellCall> g_shellCalls;
INT_PTR g_shellResult = 42;

void *__stdcall RecordShellOpen(void *window, const char *verb, const char *file, const char *parameters,
                                const char *directory, int show)
{
    g_shellCalls.push_back({verb ? verb : "", file ? file : "", parameters ? parameters : "", directory == NULL, show});
    return (void *)g_shellResult;
}

// Starting the real browser is the scenarios' business (the recorder stands
// in for it there; under this Wine the shell starts its own browser).
TEST(BrowserPages, OpensIexploreWithTheAddressShownNormally)
{
    SetShellOpenForTests(RecordShellOpen);
    g_shellCalls.clear();
    g_shellResult = 42;
    EXPECT_TRUE(OpenBrowserPage("https://ebank.example.cn/login?a=1"));
    ASSERT_EQ(1u, g_shellCalls.size());
    EXPECT_EQ("open", g_shellCalls[0].verb);
    EXPECT_EQ("iexplore.exe", g_shellCalls[0].file);
    EXPECT_EQ("\"https://ebank.example.cn/login?a=1\"", g_shellCalls[0].parameters) << "one argument";
    EXPECT_TRUE(g_shellCalls[0].directoryNull);
    EXPECT_EQ(SW_SHOWNORMAL, g_shellCalls[0].show);

    g_shellResult = 2; // ERROR_FILE_NOT_FOUND: the shell did not start it
    EXPECT_FALSE(OpenBrowserPage("https://a.example/"));
    g_shellResult = 42;
    EXPECT_FALSE(OpenBrowserPage(""));
    EXPECT_FALSE(OpenBrowserPage(NULL));
    // Only web addresses; nothing that the browser could take as a switch.
    EXPECT_FALSE(OpenBrowserPage("-extoff https://a.example/"));
    EXPECT_FALSE(OpenBrowserPage("file:///C:/windows/win.ini"));
    EXPECT_EQ(2u, g_shellCalls.size());
    g_shellCalls.clear();
    EXPECT_EQ(2, OpenBrowserPages({"https://a.example/", "", "https://b.example/"}));
    ASSERT_EQ(2u, g_shellCalls.size());
    EXPECT_EQ("\"https://b.example/\"", g_shellCalls[1].parameters);
    SetShellOpenForTests(NULL);
}

TEST(SslState, ClearsThroughBothLibrariesAndSkipsAMissingOne)
{
    EXPECT_EQ(SSL_CLEARED_SCHANNEL | SSL_CLEARED_WININET, EmptySslState());
    EXPECT_EQ((unsigned)SSL_CLEARED_WININET, EmptySslState("no-such-schannel.dll", "WININET.DLL"));
    EXPECT_EQ((unsigned)SSL_CLEARED_SCHANNEL, EmptySslState("SCHANNEL.DLL", "KERNEL32.DLL")); // no such function
    EXPECT_EQ(0u, EmptySslState(NULL, NULL));
}

} // namespace
