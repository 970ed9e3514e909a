// Links from the pages, opened under Wine with a per-user http handler
// planted, as any program of the user could: it must never run, and the
// browser is started by the user's shell, not by this process.
#include "assistant/host/links/UserLinks.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const char kUserCommand[] = "\"C:\\windows\\certview.exe\" planted-by-user %1";
const char kMachineCommand[] = "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" machine-registered %1";
const char kLog[] = "C:\\tokensim\\browser.log";

// The default value of root\key; "<none>" when missing.
std::string ReadDefault(HKEY root, const char *key)
{
    char value[1024];
    LONG size = sizeof(value);
    return RegQueryValueA(root, key, value, &size) == ERROR_SUCCESS ? std::string(value) : "<none>";
}

void WriteDefault(HKEY root, const char *key, const std::string &value)
{
    if (value == "<none>") {
        RegDeleteKeyA(root, key);
        return;
    }
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(root, key, REG_SZ, value.c_str(), static_cast<DWORD>(value.size())));
}

// The program that started process pid, by its file name.
std::string ParentName(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == pid)
            parent = entry.th32ParentProcessID;
    std::string name = parent == GetCurrentProcessId() ? "this process" : "<gone>";
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && parent != GetCurrentProcessId();
         more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == parent)
            name = entry.szExeFile;
    CloseHandle(snapshot);
    return name;
}

// Shell's links fail: the machine's registration alone is used.
class NoShellPlatform : public CUserLinkPlatform {
public:
    bool OpenThroughDesktopShell(const std::string &) override { return false; }
};

std::string ReadLog();

std::string WaitForLines(size_t lines)
{
    std::string log;
    for (int i = 0; i < 100; ++i) {
        log = ReadLog();
        size_t n = 0;
        for (char c : log)
            n += c == '\n';
        if (n >= lines)
            break;
        Sleep(100);
    }
    return log;
}

std::string ReadLog()
{
    std::ifstream in(kLog, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(UserLinks, APlantedPerUserHandlerNeverRunsOnlyTheMachinesBrowser)
{
    const char *schemes[] = {"Software\\Classes\\http\\shell\\open\\command",
                             "Software\\Classes\\https\\shell\\open\\command"};
    std::string savedMachine[2];
    for (int i = 0; i < 2; ++i) {
        savedMachine[i] = ReadDefault(HKEY_LOCAL_MACHINE, schemes[i]);
        WriteDefault(HKEY_CURRENT_USER, schemes[i], kUserCommand);
        WriteDefault(HKEY_LOCAL_MACHINE, schemes[i], kMachineCommand);
    }
    DeleteFileA(kLog);
    HRESULT com = CoInitialize(NULL);

    EXPECT_EQ(LinkOutcome::Refused, OpenUserLink("file:///C:/windows/system32/cmd.exe"));
    // This Wine's desktop answers for its folder view: the link is opened there.
    EXPECT_EQ(LinkOutcome::DesktopShell, OpenUserLink("https://bank.example/tile"));
    std::string log = WaitForLines(1);
    unsigned long pid = 0;
    ASSERT_EQ(1, sscanf(log.c_str(), "%lu", &pid)) << log;
    EXPECT_EQ("explorer.exe", ParentName(pid)) << log;

    NoShellPlatform noShell;
    EXPECT_EQ(LinkOutcome::MachineBrowser, OpenLinkAsUser("http://bank.example/second", noShell));
    log = WaitForLines(2);
    EXPECT_NE(std::string::npos, log.find("machine-registered https://bank.example/tile")) << log;
    EXPECT_NE(std::string::npos, log.find("machine-registered http://bank.example/second")) << log;
    EXPECT_EQ(std::string::npos, log.find("planted-by-user")) << log;
    EXPECT_EQ(std::string::npos, log.find("cmd.exe")) << log;

    // The recorders end when told to; the keys go back as they were.
    for (int recorder = 0; recorder < 2; ++recorder) {
        std::ofstream("C:\\tokensim\\browser.quit").put('\n');
        for (int i = 0; i < 50 && GetFileAttributesA("C:\\tokensim\\browser.quit") != INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(100);
    }
    for (int i = 0; i < 2; ++i) {
        RegDeleteKeyA(HKEY_CURRENT_USER, schemes[i]);
        WriteDefault(HKEY_LOCAL_MACHINE, schemes[i], savedMachine[i]);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

}  // namespace
