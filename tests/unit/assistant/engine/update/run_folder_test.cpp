#include "assistant/engine/update/InstallerEnvironment.h"
#include "assistant/engine/update/RunFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

typedef std::vector<std::string> Paths;

FolderFacts Plain(const std::string &security)
{
    FolderFacts f;
    f.exists = f.directory = true;
    f.security = security;
    return f;
}

// Folders by path. What this program makes reads back as a platform that
// keeps no access lists would show it: not as it was asked for.
struct FakeFolders : IFolderSystem {
    std::map<std::string, FolderFacts> folders{{"C:\\Data", Plain("O:SYD:(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)")}};
    Paths created, held, removed;
    bool failCreate = false;
    int tags = 0;

    FolderMade CreateSecured(const std::string &path) override
    {
        if (folders.count(path))
            return FolderMade::Exists;
        if (failCreate)
            return FolderMade::Failed;
        folders[path] = Plain("O:S-1-5-21-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-1000)");
        created.push_back(path);
        return FolderMade::Created;
    }
    FolderFacts Hold(const std::string &path) override
    {
        held.push_back(path);
        return folders.count(path) ? folders[path] : FolderFacts();
    }
    void ReleaseAll() override { held.clear(); }
    bool RemoveEmpty(const std::string &path) override
    {
        removed.push_back(path);
        return folders.erase(path) != 0;
    }
    std::string RunTag() override { return "7-" + std::to_string(++tags); }
};

const char kParent[] = "C:\\Data\\Orvane_Assistant";

TEST(RunFolder, EachRunMakesItsOwnFolderAndRemovesIt)
{
    FakeFolders fs;
    RunFolder run(fs, "C:\\Data");
    EXPECT_EQ("C:\\Data\\Orvane_Assistant\\Run-7-1\\", run.Path());
    EXPECT_EQ("C:\\Data\\Orvane_Assistant\\Run-7-1\\", run.Path());
    EXPECT_EQ(Paths({kParent, "C:\\Data\\Orvane_Assistant\\Run-7-1"}), fs.created);
    EXPECT_EQ(Paths({"C:\\Data", kParent, "C:\\Data\\Orvane_Assistant\\Run-7-1"}), fs.held);
    run.End();
    EXPECT_TRUE(fs.held.empty());
    EXPECT_EQ(Paths({"C:\\Data\\Orvane_Assistant\\Run-7-1", kParent}), fs.removed);
    EXPECT_EQ("C:\\Data\\Orvane_Assistant\\Run-7-2\\", run.Path());

    // A parent left by an earlier run of ours is used as it is; a run
    // folder of the same name is never taken over.
    run.End();
    fs.folders[kParent] = Plain(kWorkFolderSecurity);
    fs.folders["C:\\Data\\Orvane_Assistant\\Run-7-3"] = Plain(kWorkFolderSecurity);
    EXPECT_EQ("C:\\Data\\Orvane_Assistant\\Run-7-3-1\\", run.Path());
}

TEST(RunFolder, AFolderSomeoneElseMadeOrALinkIsNeverUsed)
{
    for (int attack = 0; attack < 4; ++attack) {
        FakeFolders fs;
        if (attack == 0)  // made by the user before our first run
            fs.folders[kParent] = Plain("O:S-1-5-21-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-1000)");
        if (attack == 1) {  // a junction to a folder of ours, or anywhere
            fs.folders[kParent] = Plain(kWorkFolderSecurity);
            fs.folders[kParent].reparsePoint = true;
        }
        if (attack == 2)
            fs.folders["C:\\Data"].reparsePoint = true;
        if (attack == 3)
            fs.failCreate = true;
        RunFolder run(fs, "C:\\Data");
        EXPECT_EQ("", run.Path()) << attack;
        EXPECT_TRUE(fs.created.empty()) << attack;
        run.End();
        EXPECT_TRUE(fs.removed.empty()) << attack;  // nor made ours by force
    }
}

TEST(RunFolder, OnlyTheExactProtectedDescriptorIsOurs)
{
    EXPECT_TRUE(IsOwnFolderSecurity(kWorkFolderSecurity));
    EXPECT_TRUE(IsOwnFolderSecurity("O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"));
    EXPECT_TRUE(IsOwnFolderSecurity("O:SYD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"));
    for (const char *other : {"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)",               // inherits from above
                              "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;BU)",  // users write
                              "O:S-1-5-21-1000D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)",  // a user owns it
                              "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;BA)", "O:BAD:P(A;OICIID;FA;;;BA)(A;OICI;FA;;;SY)",
                              "O:BAD:P(A;OICI;FA;;;BA)", "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)x", "O:BA", "", "D:P"})
        EXPECT_FALSE(IsOwnFolderSecurity(other)) << other;
}

TEST(InstallerEnvironment, TheMachinesFoldersOnlyWithTempInTheRunFolder)
{
    using namespace std::string_literals;
    InstallerFolders f{"C:\\windows", "C:\\windows\\system32", "C:\\Program Files", "C:\\ProgramData",
                       "C:\\ProgramData\\Orvane_Assistant\\Run-1\\"};
    EXPECT_EQ("ALLUSERSPROFILE=C:\\ProgramData\0ComSpec=C:\\windows\\system32\\cmd.exe\0OS=Windows_NT\0"
              "Path=C:\\windows\\system32;C:\\windows;C:\\windows\\system32\\Wbem\0PATHEXT=.COM;.EXE;.BAT;.CMD\0"
              "ProgramData=C:\\ProgramData\0ProgramFiles=C:\\Program Files\0SystemDrive=C:\0"
              "SystemRoot=C:\\windows\0TEMP=C:\\ProgramData\\Orvane_Assistant\\Run-1\0"
              "TMP=C:\\ProgramData\\Orvane_Assistant\\Run-1\0windir=C:\\windows\0\0"s,
              InstallerEnvironment(f));
    f.work.clear();
    EXPECT_EQ("", InstallerEnvironment(f));
}

}  // namespace
