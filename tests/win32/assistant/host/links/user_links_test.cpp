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

void SetCommand(HKEY root, const char *key, const std::string &value)
{
    if (value.empty())
        RegDeleteKeyA(root, key);
    else
        RegSetValueA(root, key, REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
}

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
        SetCommand(HKEY_CURRENT_USER, keys[i], "\"C:\\windows\\certview.exe\" planted-by-user %1");
        SetCommand(HKEY_LOCAL_MACHINE, keys[i], "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" machine %1");
    }
    DeleteFileA(kLog);
    HRESULT com = CoInitialize(NULL);

    EXPECT_EQ(LinkOutcome::Refused, OpenUserLink("file:///C:/windows/system32/cmd.exe"));
    // This Wine's desktop answers for its folder view: the link opens there.
    EXPECT_EQ(LinkOutcome::DesktopShell, OpenUserLink("https://bank.example/tile"));
    std::string log = WaitForLog("\n");
    unsigned long pid = 0;
    EXPECT_EQ(1, sscanf(log.c_str(), "%lu", &pid)) << log;
    DWORD parent = ParentOf(pid);
    EXPECT_TRUE(parent != 0 && parent != GetCurrentProcessId()) << "the browser is this process's child";

    // Without the shell, HKLM's registration alone.
    NoShellPlatform noShell;
    EXPECT_EQ(LinkOutcome::MachineBrowser, OpenLinkAsUser("http://bank.example/second", noShell));
    log = WaitForLog("machine http://bank.example/second");
    EXPECT_NE(std::string::npos, log.find("machine https://bank.example/tile")) << log;
    EXPECT_NE(std::string::npos, log.find("machine http://bank.example/second")) << log;
    EXPECT_EQ(std::string::npos, log.find("planted-by-user")) << log;
    EXPECT_EQ(std::string::npos, log.find("cmd.exe")) << log;

    // Each recorder ends on its own quit file; the keys go back.
    for (int recorder = 0; recorder < 2; ++recorder) {
        std::ofstream("C:\\tokensim\\browser.quit").put('\n');
        for (int i = 0; i < 50 && GetFileAttributesA("C:\\tokensim\\browser.quit") != INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(100);
    }
    for (int i = 0; i < 2; ++i) {
        RegDeleteKeyA(HKEY_CURRENT_USER, keys[i]);
        SetCommand(HKEY_LOCAL_MACHINE, keys[i], saved[i]);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

}  // namespace
