// The system checks over the real registry and system calls of the prefix,
// with the values each case needs written by the test itself.
#include "assistant/engine/system/UserRole.h"
#include "assistant/engine/win32/system/CComonCheck.h"
#include "assistant/engine/win32/system/SslState.h"
#include "assistant/engine/win32/system/Win32Registry.h"
#include "assistant/engine/worker/CommandRunner.h"
#include "tests/unit/assistant/EngineFakes.h"
#include "tests/win32/assistant/LoopbackServer.h"
#include "tests/win32/assistant/RegistrySeed.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kInternet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
const std::string kDomains = kInternet + "ZoneMap\\Domains\\";
const std::string kZone = kInternet + "Zones\\2";
const std::string kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::string kRootCert =
    "SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\31BD6AEF73031C5A49338E7A06040DD815EF7512";

class WineSystemChecks : public ::testing::Test {
protected:
    WineSystemChecks() : server(LoopbackServer::Answer, 200), page(state), run(state, page, page)
    {
        addresses = DefaultEngineAddresses();
        addresses.bankDomain = "bank.orvane.test";
        addresses.ebankDomain = "ebank.orvane.test";
        addresses.caDomain = "ca.orvane.test";
        addresses.probeUrl = server.Url();
        SeedPassing();
    }

    void SeedPassing()
    {
        seed.Dword(HKEY_CURRENT_USER, kDomains + addresses.bankDomain + "\\www", "http", 2);
        seed.Dword(HKEY_CURRENT_USER, kDomains + addresses.bankDomain, "http", 2);
        seed.Dword(HKEY_CURRENT_USER, kDomains + addresses.ebankDomain + "\\ebank", "https", 2);
        seed.Dword(HKEY_CURRENT_USER, kDomains + addresses.caDomain + "\\cs", "http", 2);
        for (const char *name : {"2201", "1405", "1201", "2000", "1004", "1001", "1200"})
            seed.Dword(HKEY_CURRENT_USER, kZone, name, 0);
        seed.Dword(HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun", 0x91);
        seed.Dword(HKEY_CURRENT_USER, kPolicies, "NoDriveTypeAutoRun", 0x91);
        seed.Key(HKEY_LOCAL_MACHINE, kRootCert);
    }

    std::vector<std::string> Run(bool standAlone)
    {
        SystemChecks checks(run, registry, system, addresses);
        EXPECT_EQ(1, checks.RunSystemChecks(standAlone));
        return page.results;
    }
    std::string Result(const std::vector<std::string> &results, size_t row) { return results.at(row); }
    size_t LogCount(const std::string &needle)
    {
        return std::count_if(page.logs.begin(), page.logs.end(),
                             [&](const std::string &l) { return l.find(needle) != std::string::npos; });
    }

    LoopbackServer server;
    EngineAddresses addresses;
    RegistrySeed seed;
    CWin32Registry registry;
    CComonCheck system;
    CommandState state;
    RecordingPage page;
    CheckRun run;
};

TEST_F(WineSystemChecks, SeededSystemPassesAndOnlyAStandAloneRunSendsTheEnd)
{
    std::vector<std::string> alone = Run(true);
    ASSERT_EQ(11u, alone.size());
    EXPECT_EQ("REG0|15", alone[2]);
    EXPECT_EQ("WEB0|30", alone[3]);
    EXPECT_EQ("AUTORUN0|45", alone[4]);
    EXPECT_EQ("SITE0|60", alone[6]);
    EXPECT_EQ("IELEVEL2|75", alone[7]);
    EXPECT_EQ("ROOTCERT0|90", alone[9]);
    EXPECT_EQ("TITLE_RC|0", alone[10]);

    page.results.clear();
    std::vector<std::string> inside = Run(false);
    ASSERT_EQ(10u, inside.size());
    EXPECT_EQ("ROOTCERT0|90", inside.back());
}

TEST_F(WineSystemChecks, BadValuesGiveTheirCodesAndOneLogLineEach)
{
    seed.String(HKEY_CURRENT_USER, kDomains + addresses.caDomain + "\\cs", "http", "2");
    seed.Dword(HKEY_CURRENT_USER, kZone, "1200", 3);
    seed.Dword(HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun", 0xFF);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRootCert.c_str());
    seed.Key(HKEY_CURRENT_USER, kRootCert);
    addresses.probeUrl = LoopbackServer::RefusedUrl();

    std::vector<std::string> r = Run(true);
    EXPECT_EQ("WEB1|30", r[3]);
    EXPECT_EQ("AUTORUN2|45", r[4]);  // this prefix is Windows 7
    EXPECT_EQ("SITE10|60", r[6]);
    EXPECT_EQ("IELEVEL0|75", r[7]);
    EXPECT_EQ("ROOTCERT0|90", r[9]);  // the user's store is enough
    EXPECT_EQ(1u, LogCount("比对键值\"HKEY_CURRENT_USER\\" + kDomains + addresses.caDomain + "\\cs\\http\"失败！"));
    EXPECT_EQ(1u, LogCount("比对键值\"HKEY_CURRENT_USER\\" + kZone + "\\1200\"失败！"));
    EXPECT_EQ(1u, LogCount("网络状态异常"));
}

TEST_F(WineSystemChecks, RootCertificateMissingFromBothStores)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRootCert.c_str());
    EXPECT_EQ("ROOTCERT1|90", Run(true)[9]);
    EXPECT_EQ(1u, LogCount("岚川银行根证书未安装"));
}

TEST_F(WineSystemChecks, OsTextIsWhatWinesVersionSays)
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof(v);
    ASSERT_TRUE(GetVersionExA(&v));
    std::string text = Run(true)[1];
    char tail[160];
    snprintf(tail, sizeof(tail), " %s (build %lu);用户:Administrator;IE版本:IE ", v.szCSDVersion, v.dwBuildNumber);
    const char *name = v.dwMajorVersion == 6 && v.dwMinorVersion == 1 ? "OS0|操作系统版本:Microsoft Windows 7 " : "OS0|";
    EXPECT_EQ(0u, text.find(name)) << text;
    EXPECT_NE(std::string::npos, text.find(tail)) << text;
    EXPECT_EQ(page.logs[0], text.substr(4));
    EXPECT_EQ(kRoleAdministrator, system.GetUserRole());  // the shell's account is in "Administrators"
}

TEST_F(WineSystemChecks, OverlongAndMistypedValuesFailTheirReads)
{
    const std::string key = "Software\\OrvaneAssistantTest";
    seed.String(HKEY_CURRENT_USER, key, "Long", std::string(300, 'x'));
    seed.String(HKEY_CURRENT_USER, key, "Text", "not a number");
    RegCheckEntry table[1] = {};
    table[0].RootKey = kRootCurrentUser;
    strcpy(table[0].SubKey, key.c_str());
    strcpy(table[0].ValueName, "Long");
    table[0].ValueType = kRegSz;
    SystemChecks checks(run, registry, system, addresses);
    EXPECT_EQ(0, checks.CheckRegistryTable(table, 1, 1));
    strcpy(table[0].ValueName, "Text");
    table[0].ValueType = kRegDword;
    EXPECT_EQ(0, checks.CheckRegistryTable(table, 1, 1));
    strcpy(table[0].SubKey, "Software\\OrvaneAssistantTest\\Missing");
    EXPECT_EQ(0, checks.CheckRegistryTable(table, 1, 1));
    EXPECT_EQ(std::vector<std::string>({"读取键值\"HKEY_CURRENT_USER\\" + key + "\\Long\"失败！",
                                        "读取键值\"HKEY_CURRENT_USER\\" + key + "\\Text\"失败！",
                                        "打开\"HKEY_CURRENT_USER\\" + key + "\\Missing\"失败！"}),
              page.logs);
}

TEST_F(WineSystemChecks, FullCheckWithClientDoubleReportsInOrder)
{
    CSslState ssl;
    FixedClock clock;
    FakeClientEngine client;
    seed.Key(HKEY_LOCAL_MACHINE, VendorProviderKey(1));  // no first-run installation
    state.Command = 4;
    state.Vendor = 1;
    WorkerServices services{ssl, clock, registry, system, addresses, client};
    CommandRunner worker(state, page, page, services);
    EXPECT_EQ(0, worker.Run());
    EXPECT_EQ(0, state.Busy);

    std::vector<std::string> events = page.events;
    ASSERT_GE(events.size(), 3u);
    std::string os = events[2];
    events.erase(events.begin() + 2, events.begin() + 4);  // the OS text, checked above
    std::vector<std::string> expected = {
        "L 2026-12-08 10:00:00   全面检测开始",
        "R TITLE_WS|1",
        "R REG0|15",
        "L 岚川银行网银相关注册表项检测正常",
        "R WEB0|30",
        "L 网络状态正常",
        "R AUTORUN0|45",
        "L 系统自动播放功能:开启",
        "R TITLE_IE|45",
        "R SITE0|60",
        "L 您已将岚川银行网银相关网址加入了可信任站点",
        "R IELEVEL2|75",
        "L IE安全设置正确",
        "R TITLE_RC|75",
        "R ROOTCERT0|90",
        "L 岚川银行根证书已安装",
        "R TITLE_CT|1",
        "R TITLE_IE|0",
        "L 2026-12-08 10:00:00   全面检测结束",
    };
    EXPECT_EQ(0u, os.find("R OS0|操作系统版本:"));
    EXPECT_EQ(expected, events);
    EXPECT_EQ(std::vector<std::string>({"client 1 inside"}), client.calls);
}

}  // namespace
