#include "assistant/engine/system/OsVersion.h"

#include <gtest/gtest.h>

namespace {

OsVersionRecord Nt(uint32_t major, uint32_t minor, uint32_t build, const char *sp, uint8_t productType)
{
    OsVersionRecord r;
    r.valid = true;
    r.extended = true;
    r.platformId = kPlatformNt;
    r.major = major;
    r.minor = minor;
    r.build = build;
    r.servicePack = sp;
    r.productType = productType;
    r.architecture = kArchX86;
    return r;
}

std::string Name(const OsVersionRecord &r, const std::string &productOptions = "")
{
    return ComposeOsName(r, OSVersion(r, productOptions));
}

TEST(OsName, Windows7UltimateSixtyFourBitServicePack1)
{
    OsVersionRecord r = Nt(6, 1, 7601, "Service Pack 1", kProductWorkstation);
    r.architecture = kArchAmd64;
    r.productInfo = 1;
    EXPECT_EQ("Microsoft Windows 7 Ultimate Edition, 64-bit Service Pack 1 (build 7601)", Name(r));
}

TEST(OsName, VistaAndServer2008TakeTheEditionAndWordSize)
{
    OsVersionRecord vista = Nt(6, 0, 6002, "Service Pack 2", kProductWorkstation);
    vista.productInfo = 3;
    EXPECT_EQ("Microsoft Windows Vista Home Premium Edition, 32-bit Service Pack 2 (build 6002)", Name(vista));

    OsVersionRecord server = Nt(6, 0, 6001, "", kProductServer);
    server.productInfo = 10;
    server.architecture = kArchIa64;
    EXPECT_EQ("Microsoft Windows Server 2008 Enterprise Edition (build 6001)", Name(server));

    OsVersionRecord unknownEdition = Nt(6, 1, 7600, "", kProductWorkstation);
    unknownEdition.productInfo = 0x30;
    EXPECT_EQ("Microsoft Windows 7 Unknown, 32-bit (build 7600)", Name(unknownEdition));
}

TEST(OsName, WindowsXpHomeAndProfessional)
{
    EXPECT_EQ("Microsoft Windows XP Professional Service Pack 3 (build 2600)",
              Name(Nt(5, 1, 2600, "Service Pack 3", kProductWorkstation)));
    OsVersionRecord home = Nt(5, 1, 2600, "", kProductWorkstation);
    home.suiteMask = 0x200;
    EXPECT_EQ("Microsoft Windows XP Home Edition (build 2600)", Name(home));
}

TEST(OsName, Server2003Family)
{
    OsVersionRecord r2 = Nt(5, 2, 3790, "Service Pack 2", kProductServer);
    r2.serverR2 = true;
    EXPECT_EQ("Microsoft Windows Server 2003 R2, Standard Edition Service Pack 2 (build 3790)", Name(r2));

    OsVersionRecord enterpriseX64 = Nt(5, 2, 3790, "", kProductServer);
    enterpriseX64.architecture = kArchAmd64;
    enterpriseX64.suiteMask = 0x2;
    EXPECT_EQ("Microsoft Windows Server 2003, Enterprise x64 Edition (build 3790)", Name(enterpriseX64));

    OsVersionRecord web = Nt(5, 2, 3790, "", kProductServer);
    web.suiteMask = 0x400;
    EXPECT_EQ("Microsoft Windows Server 2003, Web Edition (build 3790)", Name(web));

    OsVersionRecord cluster = Nt(5, 2, 3790, "", kProductServer);
    cluster.suiteMask = 0x4000 | 0x80;  // compute cluster is tested before datacenter
    EXPECT_EQ("Microsoft Windows Server 2003, Compute Cluster Edition (build 3790)", Name(cluster));

    OsVersionRecord xp64 = Nt(5, 2, 3790, "Service Pack 2", kProductWorkstation);
    xp64.architecture = kArchAmd64;
    EXPECT_EQ("Microsoft Windows XP Professional x64 Edition Service Pack 2 (build 3790)", Name(xp64));
}

TEST(OsName, Windows2000Editions)
{
    EXPECT_EQ("Microsoft Windows 2000 Professional Service Pack 4 (build 2195)",
              Name(Nt(5, 0, 2195, "Service Pack 4", kProductWorkstation)));
    OsVersionRecord advanced = Nt(5, 0, 2195, "", kProductServer);
    advanced.suiteMask = 0x2;
    EXPECT_EQ("Microsoft Windows 2000 Advanced Server (build 2195)", Name(advanced));
}

TEST(OsName, UnknownLaterVersionSaysSoWithItsNumbers)
{
    OsVersionRecord r = Nt(10, 0, 19045, "", kProductWorkstation);
    r.productInfo = 0x30;
    EXPECT_EQ("Unknown Windows version, but above Windows 7 ProfessionalVersion 10.0  (Build 19045)", Name(r));
}

TEST(OsName, FallbackForOldAndNonNtSystems)
{
    OsVersionRecord se;
    se.valid = true;
    se.platformId = kPlatformWindows;
    se.major = 4;
    se.minor = 10;
    se.build = 0x040A08AE;
    se.servicePack = " A ";
    EXPECT_EQ(kOsWin98Se, ClassifyOsVersion(se));
    EXPECT_EQ("Microsoft Windows 98 SEVersion 4.10 Build 2222  A ", Name(se));

    OsVersionRecord osr2 = se;
    osr2.minor = 0;
    osr2.servicePack = " C";
    EXPECT_EQ(kOsWin95Osr2, ClassifyOsVersion(osr2));

    // NT 4 without the extended record: the edition comes from ProductOptions.
    OsVersionRecord nt4 = Nt(4, 0, 1381, "Service Pack 5", 0);
    nt4.extended = false;
    EXPECT_EQ("Microsoft Windows NT ServerVersion 4.0 Service Pack 5 (Build 1381)", Name(nt4, "LANMANNT"));
    EXPECT_EQ("Microsoft Windows NT Advanced ServerVersion 4.0 Service Pack 5 (Build 1381)", Name(nt4, "SERVERNT"));

    OsVersionRecord none;
    EXPECT_EQ("Unknown", Name(none));
}

TEST(OsVersionClass, CodesFollowTheVersionNumbers)
{
    EXPECT_EQ(kOsWin2000, ClassifyOsVersion(Nt(5, 0, 0, "", 1)));
    EXPECT_EQ(kOsWinXp, ClassifyOsVersion(Nt(5, 1, 0, "", 1)));
    EXPECT_EQ(kOsWin2003, ClassifyOsVersion(Nt(5, 2, 0, "", 1)));
    EXPECT_EQ(kOsWin2003, ClassifyOsVersion(Nt(5, 3, 0, "", 1)));
    EXPECT_EQ(kOsVista, ClassifyOsVersion(Nt(6, 0, 0, "", 1)));
    EXPECT_EQ(kOsWin7, ClassifyOsVersion(Nt(6, 1, 0, "", 1)));
    EXPECT_EQ(kOsWin7, ClassifyOsVersion(Nt(10, 0, 0, "", 1)));
    EXPECT_EQ(kOsNt4, ClassifyOsVersion(Nt(4, 0, 0, "", 1)));
}

TEST(OsText, JoinsNameRoleAndBrowser)
{
    EXPECT_EQ("操作系统版本:Microsoft X;用户:Administrator;IE版本:IE 8.0", ComposeOsText("Microsoft X", 0, "IE 8.0"));
    EXPECT_EQ("操作系统版本:N;用户:Administrator;IE版本:unknow", ComposeOsText("N", 1, ComposeBrowserText(false, "")));
    EXPECT_EQ("操作系统版本:N;用户:User;IE版本:IE 11", ComposeOsText("N", 2, ComposeBrowserText(true, "11")));
    EXPECT_EQ("操作系统版本:N;用户:Guest;IE版本:IE 6", ComposeOsText("N", 3, "IE 6"));
}

}  // namespace
