// Links from the pages, opened under Wine with a per-user http handler
// planted, as any program of the user could: it never runs, and the browser
// is started by the user's shell, not by this process.
#include "assistant/host/links/UserLinks.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const char kLog[] = "C:\\tokensim\\browser.log";

// The log once it holds text, after up to ten seconds.
std::string WaitForLog(const char *text)
{
    std::string log;
    for (int i = 0; i < 100 && log.find(text) == std::string::npos; ++i, Sleep(100)) {
        std::stringstream read;
        read << std::ifstream(kLog, std::ios::binary).rdbuf();
        log = read.str();
    }
    return log;
}

DWORD ParentOf(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == pid)
            parent = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    return parent;
}

class NoShellPlatform : public CUserLinkPlatform {
public:
    bool OpenThroughDesktopShell(const std::string &) override { return false; }
};

TEST(UserLinks, APlantedPerUserHandlerNeverRunsTheUsersShellStartsTheBrowser)
{
    const char *keys[] = {"Software\\Classes\\http\\shell\\open\\command", "Software\\Classes\\https\\shell\\open\\command"};
    std::string saved[2];
    for (int i = 0; i < 2; ++i) {
        char value[1024];
        LONG size = sizeof(value);
        saved[i] = RegQueryValueA(HKEY_LOCAL_MACHINE, keys[i], value, &size) == ERROR_SUCCESS ? value : "";
        std::string planted = "\"C:\\windows\\certview.exe\" planted-by-user %1";
        std::string machine = "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" machine %1";
        RegSetValueA(HKEY_CURRENT_USER, keys[i], REG_SZ, planted.c_str(), DWORD(planted.size()));
        RegSetValueA(HKEY_LOCAL_MACHINE, keys[i], REG_SZ, machine.c_str(), DWORD(machine.size()));
    }
    DeleteFileA(kLog);
    HRESULT com = CoInitialize(NULL);

    // This Wine's desktop answers for its folder view: the link opens there.
    EXPECT_EQ(LinkOutcome::DesktopShell, OpenUserLink("https://bank.example/tile"));
    unsigned long pid = 0;
    EXPECT_EQ(1, sscanf(WaitForLog("\n").c_str(), "%lu", &pid));
    DWORD parent = ParentOf(pid);
    EXPECT_TRUE(parent != 0 && parent != GetCurrentProcessId()) << "the browser is this process's child";

    // Without the shell, HKLM's registration alone.
    NoShellPlatform noShell;
    EXPECT_EQ(LinkOutcome::MachineBrowser, OpenLinkAsUser("http://bank.example/second", noShell));
    std::string log = WaitForLog("machine http://bank.example/second");
    EXPECT_NE(std::string::npos, log.find("machine https://bank.example/tile")) << log;
    EXPECT_NE(std::string::npos, log.find("machine http://bank.example/second")) << log;
    EXPECT_EQ(std::string::npos, log.find("planted-by-user")) << log;

    // Each recorder ends on its own quit file; the keys go back.
    for (int recorder = 0; recorder < 2; ++recorder) {
        std::ofstream("C:\\tokensim\\browser.quit").put('\n');
        for (int i = 0; i < 50 && GetFileAttributesA("C:\\tokensim\\browser.quit") != INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(100);
    }
    for (int i = 0; i < 2; ++i) {
        RegDeleteKeyA(HKEY_CURRENT_USER, keys[i]);
        if (saved[i].empty())
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, keys[i]);
        else
            RegSetValueA(HKEY_LOCAL_MACHINE, keys[i], REG_SZ, saved[i].c_str(), DWORD(saved[i].size()));
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

}  // namespace
