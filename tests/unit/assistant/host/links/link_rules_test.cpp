#include "assistant/host/links/LinkRules.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::string> Calls;
const std::string kIe = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
const std::string kHttps = "Software\\Classes\\https\\shell\\open\\command";
const std::string kHttp = "Software\\Classes\\http\\shell\\open\\command";
const std::string kClients = "Software\\Clients\\StartMenuInternet";

// Every way tried, in order, in one list.
struct FakeLinkPlatform : ILinkPlatform {
    bool shellOpens = false, startSucceeds = true;
    std::map<std::string, std::string> machine;
    Calls calls;

    bool Called(const std::string &call, bool result)
    {
        calls.push_back(call);
        return result;
    }
    bool OpenThroughDesktopShell(const std::string &url) override { return Called("shell " + url, shellOpens); }
    bool ReadMachineString(const std::string &key, std::string &value) override
    {
        if (machine.count(key))
            value = machine[key];
        return Called("ask " + key, machine.count(key) != 0);
    }
    bool StartProgram(const std::string &program, const std::string &line) override
    {
        return Called("start " + program + "|" + line, startSucceeds);
    }
};

TEST(LinkRules, RegisteredCommandsNameOneAbsoluteProgramAndPlaceTheAddress)
{
    const std::string url = "https://bank.example/a?b=%20", ie = "\"" + kIe + "\" ";
    const std::pair<std::string, std::string> used[] = {
        {ie + "-nohome \"%1\"", ie + "-nohome \"" + url + "\""},
        {kIe + " %L", ie + url},
        {"\"C:\\b\\browser.EXE\"", "\"C:\\b\\browser.EXE\" " + url},
        {"  \"C:\\b\\browser.exe\" --single-argument %1 %*", "\"C:\\b\\browser.exe\" --single-argument " + url + " "},
    };
    for (const auto &u : used) {
        BrowserCommand c = BrowserCommandFor(u.first, url);
        EXPECT_TRUE(c.valid) << u.first;
        EXPECT_EQ(u.second, c.commandLine);
        EXPECT_EQ(0u, u.second.find("\"" + c.application + "\" ")) << c.application;
    }
    // Searched, expanded, relative, climbing, not a program, or glued.
    const char *refused[] = {"iexplore.exe %1", "\"%ProgramFiles%\\Internet Explorer\\iexplore.exe\" %1",
                             "\"C:\\b\\browser.exe\" %UserProfile%", "\\\\host\\share\\b.exe %1",
                             "\"C:\\b\\..\\..\\Users\\Public\\b.exe\" %1", "\"C:\\b\\browser.cmd\" %1",
                             "\"C:\\b\\browser.exe\"%1", "rundll32.exe url.dll,FileProtocolHandler %1",
                             "\"C:\\b\\browser.exe", "", "C:/b/browser.exe %1"};
    for (const char *command : refused)
        EXPECT_FALSE(BrowserCommandFor(command, url).valid) << command;
}

TEST(LinkRules, TheUsersShellFirstThenOnlyTheMachinesBrowser)
{
    const std::string url = "https://bank.example/";
    FakeLinkPlatform p;
    p.shellOpens = true;
    EXPECT_EQ(LinkOutcome::Refused, OpenLinkAsUser("file:///C:/Windows/system32/calc.exe", p));
    EXPECT_TRUE(p.calls.empty());  // refused before any way is tried
    EXPECT_EQ(LinkOutcome::DesktopShell, OpenLinkAsUser(url, p));
    EXPECT_EQ(Calls({"shell " + url}), p.calls);

    // No shell: https's machine class, then http's, then the machine's
    // default browser; a command that cannot be used is skipped.
    p = FakeLinkPlatform();
    p.machine[kHttps] = "iexplore.exe %1";
    p.machine[kHttp] = "\"" + kIe + "\" %1";
    EXPECT_EQ(LinkOutcome::MachineBrowser, OpenLinkAsUser(url, p));
    EXPECT_EQ(Calls({"shell " + url, "ask " + kHttps, "ask " + kHttp, "start " + kIe + "|\"" + kIe + "\" " + url}),
              p.calls);

    p = FakeLinkPlatform();
    p.machine[kClients] = "Other.Browser";
    p.machine[kClients + "\\Other.Browser\\shell\\open\\command"] = "\"C:\\o\\o.exe\"";
    EXPECT_EQ(LinkOutcome::MachineBrowser, OpenLinkAsUser("http://a.example/", p));
    EXPECT_EQ(Calls({"shell http://a.example/", "ask " + kHttp, "ask " + kClients,
                     "ask " + kClients + "\\Other.Browser\\shell\\open\\command",
                     "start C:\\o\\o.exe|\"C:\\o\\o.exe\" http://a.example/"}),
              p.calls);

    p = FakeLinkPlatform();
    p.machine[kClients] = "..\\..\\Classes\\http";
    EXPECT_EQ(LinkOutcome::NotOpened, OpenLinkAsUser(url, p));
    EXPECT_EQ(Calls({"shell " + url, "ask " + kHttps, "ask " + kHttp, "ask " + kClients}), p.calls);
    p.machine[kHttp] = "\"" + kIe + "\" %1";
    p.startSucceeds = false;
    EXPECT_EQ(LinkOutcome::NotOpened, OpenLinkAsUser(url, p));
}

}  // namespace
