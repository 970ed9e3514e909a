#include "tests/unit/assistant/ClientFakes.h"

#include <gtest/gtest.h>

namespace {

typedef std::vector<std::string> Results;

Results RunChecks(ClientRig &rig, int vendor, bool standAlone = true)
{
    rig.engine.RunClientChecks(rig.run, vendor, standAlone);
    return rig.page.results;
}

const char kSys[] = "C:\\windows\\system32";

TEST(ClientChecks, EverythingCurrentForTheFirstVendor)
{
    ClientRig rig(1);
    EXPECT_EQ(Results({"TITLE_CT|1", "SIGN0|90", "CONTROL0|90", "PRINTER0|90", "TITLE_UK|95", "VERSION|95",
                       "UKEY_WQ2322|95", "UKEY_WQ2301|95", "UKEY_CERT_YQ|95", "TITLE_RC|0"}),
              RunChecks(rig, 1));
    EXPECT_TRUE(rig.Logged("岚川银行网银签名控件已安装,且是最新版本!"));
    EXPECT_TRUE(rig.Logged("岚川银行朔岩USBKey网银客户端已经是最新版本!"));
    // Every version comparison fetches the version file anew.
    EXPECT_EQ(4u, rig.machine.fetched.size());
    EXPECT_EQ("LCCB VK820Auto CSP v1.0", rig.machine.acquired.front());
}

TEST(ClientChecks, SecondVendorSendsItsOwnCodes)
{
    ClientRig rig(2);
    Results r = RunChecks(rig, 2, false);
    EXPECT_EQ(Results({"TITLE_UK|95", "VERSION_ZV|95", "UKEY_WQ2322_ZV|95", "UKEY_WQ2301_ZV|95", "UKEY_CERT_ZV|95"}),
              Results(r.begin() + 4, r.end()));
    EXPECT_EQ("Zanvo Cryptographic Service Provider", rig.machine.acquired.front());
}

TEST(ClientChecks, MissingFileOutranksMissingRegistrationAndIsLogged)
{
    ClientRig rig(1);
    rig.machine.Remove(std::string(kSys) + "\\iesign.ocx");
    rig.machine.Remove(std::string(kSys) + "\\PowerEnterVELDRA.ocx");
    rig.machine.Remove(std::string(kSys) + "\\PECSP.dll");
    Results r = RunChecks(rig, 1);
    EXPECT_EQ("SIGN4|90", r[1]);
    EXPECT_EQ("CONTROL4|90", r[2]);
    EXPECT_TRUE(rig.Logged("文件\"C:\\windows\\system32\\iesign.ocx\"不存在!"));
    // Every missing file of a table leaves its line, not just the first.
    EXPECT_TRUE(rig.Logged("文件\"C:\\windows\\system32\\PECSP.dll\"不存在!"));
    EXPECT_TRUE(rig.Logged("文件\"C:\\windows\\system32\\PowerEnterVELDRA.ocx\"不存在!"));
    EXPECT_TRUE(rig.Logged("岚川银行网银签名控件未安装"));
}

TEST(ClientChecks, OneOfFourControlKeysMissingMeansNotRegistered)
{
    ClientRig rig(1);
    // The controls' keys again, without the third password-control key.
    rig.reg = FakeRegistry();
    for (const char *clsid : {"F3E92562-1B4D-4BFA-B2D4-E9BCABE3B5CE", "B51A292F-D352-4548-BBA7-E59682B9E95A",
                              "3DB59753-AAC5-4BF1-8984-D31CD04EA864", "71BB5253-EF2B-4C5B-85FF-1FD6A03C29A6",
                              "EFB07BC6-BA22-45CB-88FD-3D969E006023"})
        rig.reg.AddKey(kRootClassesRoot, std::string("CLSID\\{") + clsid + "}");
    rig.reg.SetString(kRootLocalMachine, "SOFTWARE\\Kessaline\\VK820Auto_LCCBBank", "SIGNVer", "1.0.12.1218");
    Results r = RunChecks(rig, 1);
    EXPECT_EQ("SIGN0|90", r[1]);
    EXPECT_EQ("CONTROL3|90", r[2]);
    // Registered but with no recorded version: not current.
    EXPECT_EQ("PRINTER1|90", r[3]);
}

TEST(ClientChecks, ManagerNotRunningStopsBeforeTheToken)
{
    ClientRig rig(1);
    rig.machine.mutexes.clear();
    Results r = RunChecks(rig, 1);
    EXPECT_EQ(Results({"VERSION|95", "UKEY_WQ2321|50", "UKEY_WQ2324|100", "TITLE_RC|0"}), Results(r.begin() + 5, r.end()));
    EXPECT_TRUE(rig.Logged("2 183"));
    EXPECT_TRUE(rig.Logged("Certd未启动"));
    EXPECT_TRUE(rig.machine.acquired.empty());
}

TEST(ClientChecks, ProviderChecksAllLeaveTheirLinesWhenAnEarlierOneFails)
{
    ClientRig rig(1);
    rig.reg.SetDword(kRootLocalMachine, "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\LCCB VK820Auto CSP v1.0",
                     "Type", 24);
    rig.machine.Remove(std::string(kSys) + "\\vk820aCSP_LCCB.sig");
    rig.machine.mutexes.clear();
    RunChecks(rig, 1);
    EXPECT_TRUE(rig.Sent("UKEY_WQ2321|50"));
    EXPECT_TRUE(rig.Logged("文件\"C:\\windows\\system32\\vk820aCSP_LCCB.sig\"不存在!"));
    EXPECT_TRUE(rig.Logged("Certd未启动"));
}

TEST(ClientChecks, ClientNotInstalledSkipsVersionAndToken)
{
    ClientRig rig(2);
    rig.reg = FakeRegistry();
    Results r = RunChecks(rig, 2);
    EXPECT_EQ(Results({"TITLE_UK|95", "UKEY_NO_DRIVER_ZV|50", "UKEY_WQ2324_ZV|100", "TITLE_RC|0"}),
              Results(r.begin() + 4, r.end()));
}

TEST(ClientChecks, TokenWithoutContainersAndNoToken)
{
    ClientRig empty(1);
    empty.machine.acquireError = 0x80090016u;  // no default container: still a token
    Results r = RunChecks(empty, 1, false);
    EXPECT_EQ(Results({"UKEY_WQ2301|95", "UKEY_NO_CERT_YQ|95"}), Results(r.end() - 2, r.end()));

    for (uint32_t error : {0x8010000Cu, 0x80090020u, 87u}) {
        ClientRig none(1);
        none.machine.acquireError = error;
        r = RunChecks(none, 1, false);
        EXPECT_EQ("UKEY_NO_KEY|50", r.back()) << error;
    }
}

TEST(ClientChecks, OutOfDateAndUnreachableReadAsNotCurrent)
{
    ClientRig rig(1);
    rig.machine.server[UpdateUrl("Version.ini")] = "[SOVAN]VER=10121219;[SIGNVer]VER=10121218;";
    Results r = RunChecks(rig, 1);
    EXPECT_EQ("SIGN0|90", r[1]);
    EXPECT_EQ("CONTROL1|90", r[2]);  // no section for it
    EXPECT_TRUE(rig.Sent("VERSION_OLD|95"));
    EXPECT_TRUE(rig.Logged("岚川银行朔岩USBKey网银客户端不是最新版本，建议进行修复或者在线更新!"));
    EXPECT_TRUE(rig.machine.stored.empty());

    ClientRig offline(1);
    offline.machine.connected = false;
    r = RunChecks(offline, 1);
    EXPECT_EQ("SIGN1|90", r[1]);
    EXPECT_TRUE(offline.machine.fetched.empty());
}

}  // namespace
