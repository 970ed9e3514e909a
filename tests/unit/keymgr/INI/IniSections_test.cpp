#include "keymgr/INI/Ini.h"

#include "IniTestStore.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Strings;

class IniSectionTest : public ::testing::Test {
protected:
    IniSectionTest() : ini("C:\\ZV\\s.ini", store) {}
    void Put(const char *section, const char *key, const char *value)
    {
        store.WriteString(section, key, value, ini.GetPathName());
    }
    std::string Raw(const char *section, const char *key)
    {
        char buf[256];
        store.GetString(section, key, "<absent>", buf, sizeof(buf), ini.GetPathName());
        return buf;
    }

    CountingIniStore store;
    CIni ini;
};

TEST_F(IniSectionTest, LinesKeysAndNames)
{
    Put("Main", "a", "1");
    Put("Main", "b", "two = 2");
    Put("Other", "x", "");
    store.WriteSection("Odd", "=nokey\0bare\0 k = v \0", ini.GetPathName());

    Strings lines;
    EXPECT_EQ(2u, ini.GetKeyLines("Main", lines));
    EXPECT_EQ(Strings({"a=1", "b=two = 2"}), lines);

    Strings keys;
    EXPECT_EQ(2u, ini.GetKeyNames("Main", keys));
    EXPECT_EQ(Strings({"a", "b"}), keys);
    keys.clear();
    EXPECT_EQ(1u, ini.GetKeyNames("Odd", keys));
    EXPECT_EQ(Strings({"k"}), keys);

    Strings names;
    EXPECT_EQ(3u, ini.GetSectionNames(names));
    EXPECT_EQ(Strings({"Main", "Other", "Odd"}), names);

    char buf[64];
    size_t n = ini.GetKeyNames("Main", buf, sizeof(buf));
    EXPECT_EQ(std::string("a\0b\0", 4), std::string(buf, n));
    EXPECT_EQ(5u, ini.GetKeyNames("Main", NULL, 0));
    n = ini.GetKeyLines("Main", buf, sizeof(buf));
    EXPECT_EQ(std::string("a=1\0b=two = 2\0", 14), std::string(buf, n));
    n = ini.GetSectionNames(buf, sizeof(buf));
    EXPECT_EQ(std::string("Main\0Other\0Odd\0", 15), std::string(buf, n));

    EXPECT_EQ(0u, ini.GetKeyLines(NULL, buf, sizeof(buf)));
    EXPECT_EQ(0u, ini.GetKeyNames(NULL, buf, sizeof(buf)));
    EXPECT_EQ('\0', buf[0]);
    lines.clear();
    EXPECT_EQ(0u, ini.GetKeyLines("Absent", lines));
}

TEST_F(IniSectionTest, SectionMeasureGrowsBy512UntilLengthPlus2FitsBelowSize)
{
    // 51 lines "kNN=" + 5 chars: 51 * 10 = 510 bytes; 510 + 2 is not below 512.
    for (int i = 0; i < 51; ++i) {
        char key[8];
        snprintf(key, sizeof(key), "k%02d", i);
        Put("Big", key, "vvvvv");
    }
    EXPECT_EQ(512u, ini.GetKeyLines("Big", NULL, 0));
    EXPECT_EQ(std::vector<size_t>({512, 1024}), store.listSizes);

    store.listSizes.clear();
    ini.DeleteKey("Big", "k50");
    EXPECT_EQ(502u, ini.GetKeyLines("Big", NULL, 0));
    EXPECT_EQ(std::vector<size_t>({512}), store.listSizes);

    Strings lines;
    ini.GetKeyLines("Big", lines);
    EXPECT_EQ(50u, lines.size());
    EXPECT_EQ("k49=vvvvv", lines.back());
}

TEST_F(IniSectionTest, SectionNamesMeasureAndLongList)
{
    for (int i = 0; i < 200; ++i) {
        char name[16];
        snprintf(name, sizeof(name), "Section%03d", i);
        Put(name, "k", "v");
    }
    // 200 names of 10 characters and their NULs.
    EXPECT_EQ(2202u, ini.GetSectionNames(NULL, 0));
    Strings names;
    EXPECT_EQ(200u, ini.GetSectionNames(names));
    EXPECT_EQ("Section199", names.back());
}

TEST_F(IniSectionTest, DeleteAndExists)
{
    Put("Main", "a", "1");
    Put("Main", "empty", "");
    EXPECT_TRUE(ini.IsSectionExist("main"));
    EXPECT_TRUE(ini.IsSectionExist("MAIN"));
    EXPECT_FALSE(ini.IsSectionExist("Mai"));
    EXPECT_FALSE(ini.IsSectionExist(NULL));

    EXPECT_TRUE(ini.IsKeyExist("Main", "a"));
    EXPECT_TRUE(ini.IsKeyExist("Main", "empty"));
    EXPECT_FALSE(ini.IsKeyExist("Main", "b"));
    EXPECT_FALSE(ini.IsKeyExist("Main", NULL));
    // A value equal to the sentinel cannot be told from an absent key.
    Put("Main", "s", "{63788286-AE30-4D6B-95DF-3B451C1C79F9}");
    EXPECT_FALSE(ini.IsKeyExist("Main", "s"));

    EXPECT_TRUE(ini.DeleteKey("Main", "a"));
    EXPECT_FALSE(ini.IsKeyExist("Main", "a"));
    EXPECT_TRUE(ini.IsKeyExist("Main", "empty"));
    EXPECT_TRUE(ini.DeleteSection("main"));
    EXPECT_FALSE(ini.IsSectionExist("Main"));
    EXPECT_FALSE(ini.DeleteSection(NULL));
    EXPECT_FALSE(ini.DeleteKey("Main", NULL));
}

TEST_F(IniSectionTest, GbkSectionNamesDoNotFoldTrailBytes)
{
    // 0xB2 0x61 and 0xB2 0x41 are different characters whose trail bytes
    // look like "a" and "A".
    Put("\xB2\x61", "k", "1");
    EXPECT_TRUE(ini.IsSectionExist("\xB2\x61"));
    EXPECT_FALSE(ini.IsSectionExist("\xB2\x41"));
}

TEST_F(IniSectionTest, CopyAndMoveSection)
{
    Put("Src", "a", "1");
    Put("Src", "b", "2");
    Put("Dst", "old", "x");

    EXPECT_FALSE(ini.CopySection("Src", "src", false));
    EXPECT_FALSE(ini.CopySection("Absent", "New", false));
    EXPECT_FALSE(ini.CopySection("Src", "Dst", true));
    EXPECT_FALSE(ini.CopySection(NULL, "Dst", false));
    EXPECT_EQ("x", Raw("Dst", "old"));

    EXPECT_TRUE(ini.CopySection("Src", "Dst", false));
    Strings lines;
    ini.GetKeyLines("Dst", lines);
    EXPECT_EQ(Strings({"a=1", "b=2"}), lines);
    EXPECT_EQ("1", Raw("Src", "a"));

    EXPECT_TRUE(ini.MoveSection("Src", "Moved"));
    EXPECT_FALSE(ini.IsSectionExist("Src"));
    EXPECT_EQ("2", Raw("Moved", "b"));
    EXPECT_FALSE(ini.MoveSection("Moved", "Dst", true));
    EXPECT_TRUE(ini.IsSectionExist("Moved"));
}

TEST_F(IniSectionTest, CopyAndMoveKey)
{
    Put("A", "k", "value");
    Put("B", "t", "taken");

    EXPECT_FALSE(ini.CopyKey("A", "k", "a", "K", false));
    EXPECT_FALSE(ini.CopyKey("A", "absent", "B", "n", false));
    EXPECT_FALSE(ini.CopyKey("A", "k", "B", "t", true));
    EXPECT_FALSE(ini.CopyKey("A", "k", NULL, "t", false));
    EXPECT_EQ("taken", Raw("B", "t"));

    EXPECT_TRUE(ini.CopyKey("A", "k", "A", "k2", true));
    EXPECT_EQ("value", Raw("A", "k2"));
    EXPECT_TRUE(ini.CopyKey("A", "k", "B", "t", false));
    EXPECT_EQ("value", Raw("B", "t"));

    EXPECT_TRUE(ini.MoveKey("A", "k", "C", "moved"));
    EXPECT_EQ("<absent>", Raw("A", "k"));
    EXPECT_EQ("value", Raw("C", "moved"));
    EXPECT_FALSE(ini.MoveKey("A", "k2", "C", "moved", true));
    EXPECT_EQ("value", Raw("A", "k2"));
}

} // namespace
