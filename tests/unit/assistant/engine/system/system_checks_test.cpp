#include "assistant/engine/run/TestHooks.h"
#include "assistant/engine/system/SystemChecks.h"
#include "tests/unit/assistant/EngineFakes.h"
#include "tests/unit/assistant/SeededSystem.h"

#include <gtest/gtest.h>

namespace {

using Events = std::vector<std::string>;

const char kOsText[] =
    "操作系统版本:Microsoft Windows 7 Ultimate Edition, 32-bit Service Pack 1 (build 7601);用户:Administrator;IE版本:IE "
    "8.0.7601.17514";

class SystemCheckRun : public ::testing::Test {
protected:
    SystemCheckRun() : addresses(DefaultEngineAddresses()), page(state), run(state, page, page), checks(run, reg, system, addresses) {}
    CommandState state;
    EngineAddresses addresses;
    FakeRegistry reg;
    FakeSystem system;
    RecordingPage page;
    CheckRun run;
    SystemChecks checks;
};

TEST_F(SystemCheckRun, PassingSystemStandAloneGivesEveryRowWithItsLogLine)
{
    SeedPassingSystem(reg, addresses);
    EXPECT_EQ(1, checks.RunSystemChecks(true));
    Events expected = {
        "R TITLE_WS|1",
        std::string("R OS0|") + kOsText,
        std::string("L ") + kOsText,
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
        "R TITLE_RC|0",
    };
    EXPECT_EQ(expected, page.events);
    EXPECT_EQ(std::vector<std::string>({kProbeUrl}), system.probed);
}

TEST_F(SystemCheckRun, EmptySystemInsideAFullCheckFailsEveryRowAndSendsNoEnd)
{
    system.probeResult = -1;
    system.role = 2;
    checks.RunSystemChecks(false);
    const char prefix[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
    Events expected = {
        "R TITLE_WS|1",
        "R OS0|操作系统版本:Microsoft Windows 7 Ultimate Edition, 32-bit Service Pack 1 (build 7601);用户:User;IE版本:unknow",
        "L 操作系统版本:Microsoft Windows 7 Ultimate Edition, 32-bit Service Pack 1 (build 7601);用户:User;IE版本:unknow",
        "R REG0|15",
        "L 岚川银行网银相关注册表项检测正常",
        "R WEB1|30",
        "L 网络状态异常",
        "R AUTORUN2|45",
        "L 系统自动播放功能:关闭;系统为Vista以上",
        "R TITLE_IE|45",
        std::string("L 打开\"") + prefix + "ZoneMap\\Domains\\" + kBankDomain + "\\www\"失败！",
        "R SITE10|60",
        "L 岚川银行网银相关网址没有加入可信任站点",
        std::string("L 打开\"") + prefix + "Zones\\2\"失败！",
        "R IELEVEL0|75",
        "L IE安全设置不正确",
        "R TITLE_RC|75",
        "R ROOTCERT1|90",
        "L 岚川银行根证书未安装",
    };
    EXPECT_EQ(expected, page.events);
}

TEST_F(SystemCheckRun, SingleBadValuesFlipTheirRows)
{
    SeedPassingSystem(reg, addresses);
    const std::string zone = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2";
    reg.SetDword(kRootCurrentUser, zone, "1200", 3);
    reg.SetString(kRootCurrentUser,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains\\" +
                      addresses.caDomain + "\\cs",
                  "http", "2");
    reg.SetDword(kRootLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                 "NoDriveTypeAutoRun", 0xFF);
    checks.RunSystemChecks(true);
    EXPECT_EQ("SITE10|60", page.results[6]);
    EXPECT_EQ("IELEVEL0|75", page.results[7]);
    EXPECT_EQ("AUTORUN2|45", page.results[4]);
    EXPECT_EQ("TITLE_RC|0", page.results.back());
    EXPECT_EQ(2, std::count_if(page.logs.begin(), page.logs.end(),
                               [](const std::string &l) { return l.find("比对键值") == 0; }));
}

TEST_F(SystemCheckRun, RootCertificateUnderEitherRoot)
{
    const char cert[] =
        "SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\31BD6AEF73031C5A49338E7A06040DD815EF7512";
    EXPECT_FALSE(checks.IsRootCertInstalled());
    reg.AddKey(kRootCurrentUser, cert);
    EXPECT_TRUE(checks.IsRootCertInstalled());
}

TEST_F(SystemCheckRun, FallbackNameReadsProductOptionsOnlyForOldNt)
{
    system.record.extended = false;
    system.record.major = 4;
    system.record.minor = 0;
    system.record.build = 1381;
    system.record.servicePack = "Service Pack 6";
    reg.SetString(kRootLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType", "WINNT");
    EXPECT_EQ(0u, checks.GetOsText().find(
                      "操作系统版本:Microsoft Windows NT ProfessionalVersion 4.0 Service Pack 6 (Build 1381);"));
}

TEST_F(SystemCheckRun, BrowserVersionUpTo260BytesWithItsNul)
{
    const char key[] = "SOFTWARE\\Microsoft\\Internet Explorer";
    reg.SetString(kRootLocalMachine, key, "Version", std::string(259, '9'));
    EXPECT_EQ("IE " + std::string(259, '9'), checks.GetIeVersionText());
    reg.SetString(kRootLocalMachine, key, "Version", std::string(260, '9'));
    EXPECT_EQ("unknow", checks.GetIeVersionText());
}

TEST(EngineAddressOverride, OnlyTheMachineKeysTextReplacesAConstant)
{
    FakeRegistry reg;
    reg.SetString(kRootLocalMachine, kTestHooksKey, "ORVANE_PROBE_URL", "http://127.0.0.1:8080/");
    reg.SetString(kRootLocalMachine, kTestHooksKey, "ORVANE_CA_DOMAIN", "");  // empty: ignored
    reg.SetDword(kRootLocalMachine, kTestHooksKey, "ORVANE_EBANK_DOMAIN", 0x74736574);  // no text
    reg.SetString(kRootLocalMachine, kTestHooksKey, "ORVANE_BANK_DOMAIN", std::string(2048, 'b'));  // does not fit
    // The user's own hive is the user's to write.
    reg.SetString(kRootCurrentUser, kTestHooksKey, "ORVANE_UPDATE_HOST", "127.0.0.1:9");
    EngineAddresses a = LoadEngineAddresses(reg);
    EXPECT_EQ("http://127.0.0.1:8080/", a.probeUrl);
    EXPECT_EQ(kCaDomain, a.caDomain);
    EXPECT_EQ(kEbankDomain, a.ebankDomain);
    EXPECT_EQ(kBankDomain, a.bankDomain);
    EXPECT_EQ(kUpdateHost, a.updateHost);
    reg.SetString(kRootLocalMachine, kTestHooksKey, "ORVANE_BANK_DOMAIN", "bank.test");
    EXPECT_EQ("bank.test", LoadEngineAddresses(reg).bankDomain);
}

TEST(TestHookLimit, AnOverrideOnlyShortensTheBound)
{
    FakeRegistry reg;
    const char name[] = "ORVANE_PACKAGE_STALL_MS";
    EXPECT_EQ(30000u, ReadTestHookLimit(reg, name, 30000));
    reg.SetString(kRootLocalMachine, kTestHooksKey, name, "3000");
    EXPECT_EQ(3000u, ReadTestHookLimit(reg, name, 30000));
    for (const char *bad : {"0", "30000", "90000", "3000ms", "-5", " 300", "99999999999999"}) {
        reg.SetString(kRootLocalMachine, kTestHooksKey, name, bad);
        EXPECT_EQ(30000u, ReadTestHookLimit(reg, name, 30000)) << bad;
    }
    reg.SetDword(kRootLocalMachine, kTestHooksKey, name, 3000);  // no text
    EXPECT_EQ(30000u, ReadTestHookLimit(reg, name, 30000));
}

TEST(TrustedSitesTable, LongDomainIsCutToTheKeyBuffer)
{
    EngineAddresses a = DefaultEngineAddresses();
    a.bankDomain = std::string(400, 'd');
    RegCheckEntry table[kTrustedSitesCount];
    BuildTrustedSitesTable(a, table);
    EXPECT_EQ(kRegCheckTextSize - 1, strlen(table[0].SubKey));
    EXPECT_STREQ("https", table[2].ValueName);
}

}  // namespace
