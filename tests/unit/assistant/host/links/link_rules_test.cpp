#include "assistant/host/links/LinkRules.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

const std::string kIe = "C:\\Program Files\\Internet Explorer\\iexplore.exe";

class FakeLinkPlatform : public ILinkPlatform {
public:
    bool shellOpens = false;
    bool startSucceeds = true;
    std::map<std::string, std::string> machine;
    std::vector<std::string> shellOpened, asked, started;

    bool OpenThroughDesktopShell(const std::string &url) override
    {
        shellOpened.push_back(url);
        return shellOpens;
    }
    bool ReadMachineString(const std::string &key, std::string &value) override
    {
        asked.push_back(key);
        auto it = machine.find(key);
        if (it == machine.end())
            return false;
        value = it->second;
        return true;
    }
    bool StartProgram(const std::string &application, const std::string &commandLine) override
    {
        started.push_back(application + "|" + commandLine);
        return startSucceeds;
    }
};

TEST(LinkRules, RegisteredCommandsNameOneAbsoluteProgramAndPlaceTheAddress)
{
    const std::string url = "https://bank.example/a?b=%20";
    BrowserCommand c = BrowserCommandFor("\"" + kIe + "\" -nohome \"%1\"", url);
    ASSERT_TRUE(c.valid);
    EXPECT_EQ(kIe, c.application);
    EXPECT_EQ("\"" + kIe + "\" -nohome \"" + url + "\"", c.commandLine);
    c = BrowserCommandFor(kIe + " %L", url);
    EXPECT_EQ(kIe + "|\"" + kIe + "\" " + url, c.application + "|" + c.commandLine);
    c = BrowserCommandFor("\"C:\\b\\browser.EXE\"", url);
    EXPECT_EQ("\"C:\\b\\browser.EXE\" " + url, c.commandLine);
    c = BrowserCommandFor("  \"C:\\b\\browser.exe\" --single-argument %1 %*", url);
    EXPECT_EQ("\"C:\\b\\browser.exe\" --single-argument " + url + " ", c.commandLine);

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
    FakeLinkPlatform shell;
    shell.shellOpens = true;
    EXPECT_EQ(LinkOutcome::DesktopShell, OpenLinkAsUser(url, shell));
    EXPECT_TRUE(shell.asked.empty());
    EXPECT_TRUE(shell.started.empty());

    // Refused before any way is tried.
    const char *notWeb[] = {"file:///C:/Windows/system32/calc.exe", "javascript:x()", "https://a.example/\" -x",
                            "ms-settings:", ""};
    for (const char *address : notWeb) {
        FakeLinkPlatform p;
        p.shellOpens = true;
        EXPECT_EQ(LinkOutcome::Refused, OpenLinkAsUser(address, p)) << address;
        EXPECT_TRUE(p.shellOpened.empty() && p.asked.empty() && p.started.empty()) << address;
    }

    // No shell: https's machine class, then http's, then the machine's
    // default browser; a command that cannot be used is skipped.
    FakeLinkPlatform machine;
    machine.machine["Software\\Classes\\https\\shell\\open\\command"] = "iexplore.exe %1";
    machine.machine["Software\\Classes\\http\\shell\\open\\command"] = "\"" + kIe + "\" %1";
    EXPECT_EQ(LinkOutcome::MachineBrowser, OpenLinkAsUser(url, machine));
    EXPECT_EQ(std::vector<std::string>({kIe + "|\"" + kIe + "\" " + url}), machine.started);

    FakeLinkPlatform clients;
    clients.machine["Software\\Clients\\StartMenuInternet"] = "Other.Browser";
    clients.machine["Software\\Clients\\StartMenuInternet\\Other.Browser\\shell\\open\\command"] = "\"C:\\o\\o.exe\"";
    EXPECT_EQ(LinkOutcome::MachineBrowser, OpenLinkAsUser("http://a.example/", clients));
    EXPECT_EQ(std::vector<std::string>({"C:\\o\\o.exe|\"C:\\o\\o.exe\" http://a.example/"}), clients.started);
    EXPECT_EQ(std::vector<std::string>({"Software\\Classes\\http\\shell\\open\\command",
                                        "Software\\Clients\\StartMenuInternet",
                                        "Software\\Clients\\StartMenuInternet\\Other.Browser\\shell\\open\\command"}),
              clients.asked);

    FakeLinkPlatform nothing;
    nothing.machine["Software\\Clients\\StartMenuInternet"] = "..\\..\\Classes\\http";
    EXPECT_EQ(LinkOutcome::NotOpened, OpenLinkAsUser(url, nothing));
    EXPECT_TRUE(nothing.started.empty());
    nothing.machine["Software\\Classes\\http\\shell\\open\\command"] = "\"" + kIe + "\" %1";
    nothing.startSucceeds = false;
    EXPECT_EQ(LinkOutcome::NotOpened, OpenLinkAsUser(url, nothing));
}

}  // namespace
