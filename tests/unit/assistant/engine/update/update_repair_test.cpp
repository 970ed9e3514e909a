#include "tests/unit/assistant/ClientFakes.h"

#include "assistant/engine/update/Repairs.h"

#include <gtest/gtest.h>

namespace {

typedef std::vector<std::string> Results;
const char kVersions[] = "SOFTWARE\\Kessaline\\VK820Auto_LCCBBank";

std::string Installed(FakeRegistry &reg, const char *name)
{
    auto key = reg.OpenKey(kRootLocalMachine, kVersions);
    char text[261];
    return key && ReadRegistryString(*key, name, text, sizeof(text)) ? text : "<none>";
}

TEST(OnlineUpdate, AllCurrentDownloadsNothingButTheVersionFile)
{
    ClientRig rig(1);
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_EQ(Results({"TITLE_CE|10", "VERSION|95"}), rig.page.results);
    EXPECT_EQ(4u, rig.machine.fetched.size());
    EXPECT_TRUE(rig.machine.runs.empty());
}

TEST(OnlineUpdate, OutOfDatePackagesRunInOrderThenVersionsAreStored)
{
    ClientRig rig(1);
    rig.machine.server[UpdateUrl("Version.ini")] = "[SOVAN]VER=10121300;[PSVer]VER=10121300;[SIGNVer]VER=10121300;"
                                                    "[PRINTERVer]VER=10121218;";
    for (const char *p : {"LCCB_Sign.dat", "LCCB_PowerEnter.dat", "LCCB_Sovan.dat"})
        rig.machine.server[UpdateUrl(p)] = std::string("signed:") + p + "@1.0.13.0";
    rig.machine.exitCodes["LCCB_PowerEnterExt.exe"] = 4;
    rig.machine.exitCodes["LCCB_SovanExt.exe"] = 0xC0000005;  // crashed
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_EQ(Results({"LCCB_SignExt.exe:signed:LCCB_Sign.dat@1.0.13.0",
                       "LCCB_PowerEnterExt.exe:signed:LCCB_PowerEnter.dat@1.0.13.0",
                       "LCCB_SovanExt.exe:signed:LCCB_Sovan.dat@1.0.13.0"}),
              rig.machine.runs);
    // The failed packages are not reported and keep their old versions.
    EXPECT_EQ(Results({"TITLE_CE|10", "TITLE_CE|10", "TITLE_CE|10", "VERSION|95"}), rig.page.results);
    EXPECT_EQ("10121300", Installed(rig.reg, "SIGNVer"));
    EXPECT_EQ("1.0.12.1218", Installed(rig.reg, "PSVer"));
    EXPECT_EQ("1.0.12.1218", Installed(rig.reg, "Version"));
    // Only the packages are given up for lack of progress, not for their length.
    EXPECT_EQ(DownloadKind::VersionFile, rig.machine.kinds.at(0));
    EXPECT_EQ(DownloadKind::Package, rig.machine.kinds.back());
    for (const char *f : {"LCCB_SignExt.exe", "LCCB_PowerEnterExt.exe", "LCCB_SovanExt.exe", "Version.ini"})
        EXPECT_FALSE(rig.machine.Exists(std::string("C:\\work\\") + f)) << f;
}

TEST(OnlineUpdate, NetworkDownReportsWebOneAndDownloadsNoPackage)
{
    ClientRig rig(1);
    rig.machine.server[UpdateUrl("Version.ini")] = "[SIGNVer]VER=99000000;";
    rig.system.probeResult = 0;
    EXPECT_EQ(0, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_EQ(Results({"WEB1|40"}), rig.page.results);
    EXPECT_EQ(0, rig.state.Busy);
    EXPECT_TRUE(rig.machine.runs.empty());
    EXPECT_EQ("1.0.12.1218", Installed(rig.reg, "SIGNVer"));
}

TEST(OnlineUpdate, PackagesThatAreMissingOrNotOursAreNotRun)
{
    ClientRig rig(2);
    rig.machine.server[UpdateUrl("Version.ini")] = "[ZVVer]VER=10121300;[SIGNVer]VER=10121300;[PSVer]VER=10121218;"
                                                    "[PRINTERVer]VER=10121218;";
    // An error page arrives as a "downloaded" file: it is not signed.
    rig.machine.server[UpdateUrl("LCCB_Sign.dat")] = "<html>404</html>";
    const char checker[] = "C:\\Program Files\\OstraCSP20407\\OstraCSP20407\\CheckFileVer.dll";
    rig.machine.Put(checker);
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_TRUE(rig.machine.runs.empty());
    EXPECT_EQ(Results({"TITLE_CE|10", "TITLE_CE|10", "SIGN2_ZV|100", "VERSION_ZV|95"}), rig.page.results);
    EXPECT_FALSE(rig.machine.Exists("C:\\work\\LCCB_SignExt.exe"));
    EXPECT_EQ("1.0.12.1218", Installed(rig.reg, "ZVVer"));
    EXPECT_EQ("1.0.12.1218", Installed(rig.reg, "SIGNVer"));
    // The version file alone does not remove the client's checker, nor a
    // signed package older than the installed client...
    EXPECT_TRUE(rig.machine.Exists(checker));
    rig.machine.server[UpdateUrl("LCCB_Zanvo.dat")] = "signed:zanvo@1.0.11.0";
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_TRUE(rig.machine.runs.empty());
    EXPECT_TRUE(rig.machine.Exists(checker));
    // ...its own verified package does, just before it starts: the fresh
    // copy that package brings stays.
    rig.machine.server[UpdateUrl("LCCB_Zanvo.dat")] = "signed:zanvo@1.0.13.0";
    rig.machine.installs["LCCB_ZanvoExt.exe"] = checker;
    rig.machine.Put(checker, "old");
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_EQ(Results({"LCCB_ZanvoExt.exe:signed:zanvo@1.0.13.0"}), rig.machine.runs);
    EXPECT_EQ("x", rig.machine.Content(checker));

    // Without a work folder of ours nothing is fetched, and nothing is
    // removed by its bare name from the current folder.
    rig.machine.fetched.clear();
    rig.machine.workFolderFails = true;
    rig.machine.Put("LCCB_SignExt.exe");
    rig.page.results.clear();
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_TRUE(rig.machine.fetched.empty());
    EXPECT_EQ(Results({"TITLE_CE|10", "TITLE_CE|10", "TITLE_CE|10", "TITLE_CE|10", "VERSION_ZV|95"}), rig.page.results);
    EXPECT_TRUE(rig.machine.Exists("LCCB_SignExt.exe"));
}

TEST(OnlineUpdate, OlderOrUnversionedPackagesAreRefusedAndTheStoredVersionIsThePackagesAtMost)
{
    ClientRig rig(1);
    rig.machine.server[UpdateUrl("Version.ini")] = "[SOVAN]VER=10121300;[SIGNVer]VER=10121300;[PSVer]VER=10121300;"
                                                    "[PRINTERVer]VER=FFFFFFFF;";
    rig.machine.server[UpdateUrl("LCCB_Sign.dat")] = "signed:old@1.0.11.0";   // an old release
    rig.machine.server[UpdateUrl("LCCB_PowerEnter.dat")] = "signed:bare";     // no version resource
    rig.machine.server[UpdateUrl("LCCB_Printer.dat")] = "signed:new@1.0.12.1250";
    rig.machine.server[UpdateUrl("LCCB_Sovan.dat")] = "signed:same@1.0.12.1218";
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_EQ(Results({"LCCB_PrinterExt.exe:signed:new@1.0.12.1250", "LCCB_SovanExt.exe:signed:same@1.0.12.1218"}),
              rig.machine.runs);
    EXPECT_TRUE(rig.Logged("文件\"C:\\work\\LCCB_SignExt.exe\"版本低于已安装版本,未运行!"));
    EXPECT_EQ(Results({"PRINTERVer=10121250", "Version=10121218"}), rig.machine.stored);

    // The first vendor's client refused: its failure code.
    rig.machine.server[UpdateUrl("LCCB_Sovan.dat")] = "signed:older@1.0.1.0";
    rig.page.results.clear();
    rig.engine.RunOnlineUpdate(rig.run);
    EXPECT_TRUE(rig.Sent("SIGN2|100"));
}

TEST(OnlineUpdate, PackagesAndTheUpdatesOwnVersionFileAreFetchedWithoutAConnectionTest)
{
    ClientRig rig(2);
    rig.machine.connected = false;
    rig.machine.server[UpdateUrl("LCCB_Zanvo.dat")] = "signed:zanvo@1.0.13.0";
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    // The version checks test the connection and read as not current; the
    // update itself fetches what the server has.
    const Results &fetched = rig.machine.fetched;
    EXPECT_EQ(1, std::count(fetched.begin(), fetched.end(), UpdateUrl("Version.ini")));
    EXPECT_EQ(Results({"LCCB_ZanvoExt.exe:signed:zanvo@1.0.13.0"}), rig.machine.runs);
    EXPECT_EQ(1, rig.machine.runsEnded);
}

TEST(OnlineUpdate, ASilentServerIsWaitedForOnceAndNotAgainInTheRun)
{
    ClientRig rig(1);
    rig.machine.server[UpdateUrl("Version.ini")] = "hang";
    EXPECT_EQ(1, rig.engine.RunOnlineUpdate(rig.run));
    EXPECT_EQ(1u, rig.machine.fetched.size());
    // Everything reads as out of date; no package can be fetched either.
    EXPECT_EQ(Results({"TITLE_CE|10", "TITLE_CE|10", "TITLE_CE|10", "TITLE_CE|10", "SIGN2|100", "VERSION|95"}),
              rig.page.results);
    // The next run tries the server again.
    rig.machine.server[UpdateUrl("Version.ini")] = "[SOVAN]VER=10121218;";
    rig.engine.RunClientChecks(rig.run, 1, true);
    EXPECT_EQ(5u, rig.machine.fetched.size());

    // A package that stalls is given up, and the next one is still fetched.
    ClientRig stalled(1);
    stalled.machine.server[UpdateUrl("Version.ini")] = "[SOVAN]VER=10121300;[SIGNVer]VER=10121300;"
                                                        "[PSVer]VER=10121218;[PRINTERVer]VER=10121218;";
    stalled.machine.server[UpdateUrl("LCCB_Sign.dat")] = "hang";
    stalled.machine.server[UpdateUrl("LCCB_Sovan.dat")] = "signed:sovan@1.0.13.0";
    EXPECT_EQ(1, stalled.engine.RunOnlineUpdate(stalled.run));
    EXPECT_EQ(Results({"LCCB_SovanExt.exe:signed:sovan@1.0.13.0"}), stalled.machine.runs);
}

TEST(OnlineUpdate, MissingVersionValueIsNotCurrentAndStoredOnlyWhenTheKeyExists)
{
    ClientRig rig(1);
    rig.reg = FakeRegistry();
    SeedInstalledClient(rig.reg, rig.machine, 1);
    FakeRegistry bare;
    VersionCheck versions(bare, rig.machine, rig.machine, kTestUpdateHost);
    EXPECT_EQ(0, versions.CheckComponentVersion(4, true));
    EXPECT_FALSE(versions.StorePublished(4));  // no version key to store into
    EXPECT_TRUE(rig.machine.stored.empty());

    bare.AddKey(kRootLocalMachine, kVersions);
    EXPECT_EQ(0, versions.CheckComponentVersion(4, true));
    EXPECT_TRUE(versions.StorePublished(4));
    EXPECT_EQ(Results({"SIGNVer=10121218"}), rig.machine.stored);
}

TEST(OnlineUpdate, CutOffOrBrokenPublishedVersionIsNotCurrentAndNotKept)
{
    ClientRig rig(1);
    // As version 0 it would pass for current against any installed version.
    // Nor is a padded one kept in the machine's registry.
    for (const char *file : {"[SIGNVer]VER=1012;", "[SIGNVer]VER=zz!?;", "[SIGNVer]VER=101213000;",
                             "[SIGNVer]VER=10121300 FFFFFFFF;"}) {
        rig.machine.server[UpdateUrl("Version.ini")] = file;
        VersionCheck versions(rig.reg, rig.machine, rig.machine, kTestUpdateHost);
        EXPECT_EQ(0, versions.CheckComponentVersion(4, true)) << file;
        EXPECT_FALSE(versions.StorePublished(4)) << file;
    }
    EXPECT_TRUE(rig.machine.stored.empty());
}

class Repair : public ::testing::Test {
protected:
    explicit Repair() : rig(1) {}
    void Give(int vendor)
    {
        rig.state.Vendor = vendor;
        for (int id : {187, 208, 210, 200, 199, 215})
            rig.machine.resources[id] = "signed:" + std::to_string(id);
        rig.machine.resources[211] = "[Setting]";
    }
    std::vector<std::string> RunNames()
    {
        std::vector<std::string> names;
        for (const std::string &r : rig.machine.runs)
            names.push_back(r.substr(0, r.find(':')));
        return names;
    }
    ClientRig rig;
};

TEST_F(Repair, NoSendsExactlyTheRefusal)
{
    Give(1);
    rig.machine.answerYes = false;
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"TITLE_CS|1", "REPAIR1|100", "REPAIR1|0"}), rig.page.results);
    EXPECT_EQ(std::string(kRepairCaption) + ": " + kRepairQuestion, rig.machine.asked.at(0));
    EXPECT_TRUE(rig.machine.runs.empty());
}

TEST_F(Repair, EachVendorRunsItsInstallersInOrder)
{
    Give(1);
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"LCCB_SignExt.exe", "LCCB_PowerEnterExt.exe", "LCCB_PrinterExt.exe", "LCCB_SovanExt.exe"}),
              RunNames());
    EXPECT_EQ(Results({"TITLE_CS|1", "REPAIR2|100", "REPAIR2|0"}), rig.page.results);

    ClientRig two(2);
    rig.machine.runs.clear();
    Give(2);
    rig.machine.Put("C:\\Program Files\\OstraCSP20407\\OstraCSP20407\\CheckFileVer.dll");
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"LCCB_SignExt.exe", "LCCB_PowerEnterExt.exe", "LCCB_PrinterExt.exe", "mainsetExt.exe",
                       "LCCB_ZanvoExt.exe"}),
              RunNames());
    EXPECT_EQ("[Setting]", rig.machine.Content("C:\\Program Files\\OstraCSP20407\\OstraCSP20407\\URLSet.ini"));
    EXPECT_FALSE(rig.machine.Exists("C:\\Program Files\\OstraCSP20407\\OstraCSP20407\\CheckFileVer.dll"));
    EXPECT_EQ(1000u, rig.machine.paused);
    for (const char *f : {"LCCB_SignExt.exe", "mainsetExt.exe", "LCCB_ZanvoExt.exe"})
        EXPECT_FALSE(rig.machine.Exists(std::string("C:\\work\\") + f)) << f;
}

TEST_F(Repair, FailedStepEndsTheRunWithItsProgress)
{
    Give(1);
    rig.machine.exitCodes["LCCB_PrinterExt.exe"] = 4;
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"TITLE_CS|1", "REPAIR0|50", "REPAIR0|0"}), rig.page.results);
    EXPECT_EQ(3u, rig.machine.runs.size());
    EXPECT_FALSE(rig.machine.Exists("C:\\work\\LCCB_PrinterExt.exe"));

    // A web-settings file that cannot be written still ends the run.
    rig.page.results.clear();
    rig.machine.exitCodes.clear();
    Give(2);
    rig.machine.undeletable.insert(FakeMachine::Lower("C:\\Program Files\\OstraCSP20407\\OstraCSP20407\\URLSet.ini"));
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"TITLE_CS|1", "REPAIR0|75", "REPAIR0|0"}), rig.page.results);

    // A crash is a failure too.
    rig.page.results.clear();
    rig.machine.runs.clear();
    rig.machine.exitCodes["LCCB_SignExt.exe"] = 0xC0000005;
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"TITLE_CS|1", "REPAIR0|50", "REPAIR0|0"}), rig.page.results);
    EXPECT_EQ(1u, rig.machine.runs.size());

    // Without the Program Files folder the client's steps fail; nothing is
    // written or removed relative to the current drive.
    rig.page.results.clear();
    rig.machine.runs.clear();
    rig.machine.exitCodes.clear();
    rig.reg.SetString(kRootLocalMachine, "SOFTWARE\\Microsoft\\windows\\CurrentVersion", "ProgramFilesDir", "");
    rig.machine.Put("\\OstraCSP20407\\OstraCSP20407\\CheckFileVer.dll");
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"TITLE_CS|1", "REPAIR0|75", "REPAIR0|0"}), rig.page.results);
    EXPECT_EQ(Results({"LCCB_SignExt.exe", "LCCB_PowerEnterExt.exe", "LCCB_PrinterExt.exe", "mainsetExt.exe"}),
              RunNames());
    EXPECT_TRUE(rig.machine.Exists("\\OstraCSP20407\\OstraCSP20407\\CheckFileVer.dll"));
}

TEST_F(Repair, LeftoverIsReplacedAndAStrangerThatStaysIsNotRun)
{
    Give(1);
    rig.machine.Put("C:\\work\\LCCB_SignExt.exe", "old");
    EXPECT_TRUE(rig.engine.RunFirstRunInstallation(rig.run));
    EXPECT_EQ("LCCB_SignExt.exe:signed:187", rig.machine.runs.at(0));
    EXPECT_TRUE(rig.page.results.empty());

    rig.machine.runs.clear();
    rig.machine.Put("C:\\work\\LCCB_PowerEnterExt.exe", "signed:planted");
    rig.machine.undeletable.insert(FakeMachine::Lower("C:\\work\\LCCB_PowerEnterExt.exe"));
    EXPECT_FALSE(rig.engine.RunFirstRunInstallation(rig.run));
    EXPECT_EQ(Results({"LCCB_SignExt.exe"}), RunNames());
    EXPECT_EQ(Results({"REPAIR0|50", "REPAIR0|0"}), rig.page.results);

    // No work folder of ours: the first step fails and nothing runs.
    rig.machine.runs.clear();
    rig.page.results.clear();
    rig.machine.workFolderFails = true;
    EXPECT_FALSE(rig.engine.RunFirstRunInstallation(rig.run));
    EXPECT_TRUE(rig.machine.runs.empty());
    EXPECT_EQ(Results({"REPAIR0|50", "REPAIR0|0"}), rig.page.results);
}

TEST_F(Repair, InstallerThatCannotStartKeepsItsFile)
{
    Give(1);
    rig.machine.unstartable.insert("LCCB_SignExt.exe");
    rig.engine.RunRepair(rig.run);
    EXPECT_EQ(Results({"TITLE_CS|1", "REPAIR0|50", "REPAIR0|0"}), rig.page.results);
    EXPECT_TRUE(rig.machine.Exists("C:\\work\\LCCB_SignExt.exe"));
}

}  // namespace
