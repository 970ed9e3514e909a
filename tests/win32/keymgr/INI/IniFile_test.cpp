// CIni against the platform's own profile functions on real files.
#include "keymgr/INI/Ini.h"
#include "keymgr/INI/profile/Profile.h"
#include "keymgr/INI/store/MemoryIniStore.h"
#include "keymgr/INI/store/Win32IniStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Strings;

class CountingWin32Store : public CWin32IniStore {
public:
    size_t GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                     const char *file) override
    {
        sizes.push_back(size);
        return CWin32IniStore::GetString(section, key, def, buffer, size, file);
    }
    std::vector<size_t> sizes;
};

std::string Pattern(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += (char)('a' + i % 26);
    return s;
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof(temp), temp), 0u);
        folder = std::string(temp) + "ini_test_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
        path = folder + "\\t.ini";
        DeleteFileA(path.c_str());
    }
    void TearDown() override
    {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    void PutFile(const char *text)
    {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written = 0;
        WriteFile(h, text, (DWORD)strlen(text), &written, NULL);
        CloseHandle(h);
    }
    void PutFile(const std::string &text) { PutFile(text.c_str()); }
    std::string Raw(const char *section, const char *key)
    {
        char buf[1024];
        GetPrivateProfileStringA(section, key, "<absent>", buf, sizeof(buf), path.c_str());
        return buf;
    }

    std::string folder;
    std::string path;
};

TEST_F(IniFileTest, ModuleNamesFromMissingAndPresentFile)
{
    CIni ini(path.c_str());
    char rel[260];
    ini.GetString("Module", "Rel", rel, 260, "KavelGeneralCSP.dll");
    EXPECT_STREQ("KavelGeneralCSP.dll", rel);
    PutFile("[Module]\r\nRel=Stand.dll\r\nQKC = Cmd.dll \r\n");
    ini.GetString("Module", "Rel", rel, 260, "KavelGeneralCSP.dll");
    EXPECT_STREQ("Stand.dll", rel);
    ini.GetString("module", "qkc", rel, 260, "QKCommand.dll");
    EXPECT_STREQ("Cmd.dll", rel);
}

TEST_F(IniFileTest, LongValueIntoPathBufferAndReadWhole)
{
    PutFile("[S]\r\nlong=" + std::string(2000, 'z') + "\r\nbig=" + Pattern(5000) + "\r\n");
    CIni ini(path.c_str());
    char buf[300];
    memset(buf, 'x', sizeof(buf));
    EXPECT_EQ(259u, ini.GetString("S", "long", buf, 260, ""));
    EXPECT_EQ('\0', buf[259]);
    EXPECT_EQ('x', buf[260]);
    EXPECT_EQ(2000u, ini.GetString("S", "long", NULL, 0, ""));
    EXPECT_EQ(Pattern(5000), ini.GetString("S", "big"));

    // A double-byte character that straddles the first cut.
    std::string gbk = "a";
    for (int i = 0; i < 300; ++i)
        gbk += "\xD6\xD0";
    EXPECT_TRUE(ini.WriteString("S", "gbk", gbk.c_str()));
    EXPECT_EQ(gbk, ini.GetString("S", "gbk"));
    EXPECT_EQ(259u, ini.GetString("S", "gbk", buf, 260, ""));
    EXPECT_EQ(gbk.substr(0, 259), std::string(buf));
    // A lead byte without its trail byte is not copied.
    EXPECT_EQ(257u, ini.GetString("S", "gbk", buf, 259, ""));
}

TEST_F(IniFileTest, PlatformCutsAsTheCoreExpects)
{
    PutFile("[S]\r\nv510=" + std::string(510, 'a') + "\r\nv511=" + std::string(511, 'b') +
              "\r\n[T]\r\none=1\r\ntwo=2\r\n");
    CWin32IniStore raw;
    char buf[16];
    EXPECT_EQ(3u, raw.GetString("S", "v510", "", buf, 4, path.c_str()));
    EXPECT_STREQ("aaa", buf);
    EXPECT_EQ(4u, raw.GetSection("T", buf, 6, path.c_str()));
    EXPECT_EQ('\0', buf[4]);
    EXPECT_EQ('\0', buf[5]);
    EXPECT_EQ(std::string("one=1\0two=2\0", 12), std::string(buf, raw.GetSection("T", buf, 14, path.c_str())));
    EXPECT_EQ(3u, raw.GetSectionNames(buf, 5, path.c_str()));

    CountingWin32Store store;
    CIni ini(path.c_str(), store);
    EXPECT_EQ(std::string(510, 'a'), ini.GetString("S", "v510"));
    EXPECT_EQ(std::vector<size_t>({512}), store.sizes);
    store.sizes.clear();
    EXPECT_EQ(std::string(511, 'b'), ini.GetString("S", "v511"));
    EXPECT_EQ(std::vector<size_t>({512, 1024}), store.sizes);
}

TEST_F(IniFileTest, ValuesRoundTripThroughTheFile)
{
    CIni ini(path.c_str());
    EXPECT_TRUE(ini.WriteInt("N", "bin", 10, 2));
    EXPECT_TRUE(ini.WriteInt("N", "hex", -1, 16));
    EXPECT_TRUE(ini.WriteInt("N", "oct", 8, 8));
    EXPECT_TRUE(ini.WriteUInt("N", "u", 4000000000u, 10));
    EXPECT_TRUE(ini.WriteDouble("N", "d", 2.71828, 2));
    EXPECT_EQ("1010", Raw("N", "bin"));
    EXPECT_EQ("FFFFFFFF", Raw("N", "hex"));
    EXPECT_EQ("10", Raw("N", "oct"));
    EXPECT_EQ("2.72", Raw("N", "d"));
    EXPECT_EQ(10, ini.GetInt("N", "bin", 0, 2));
    EXPECT_EQ(-1, ini.GetInt("N", "hex", 0, 16));
    EXPECT_EQ(8, ini.GetInt("N", "oct", 0, 8));
    EXPECT_EQ(4000000000u, ini.GetUInt("N", "u", 0));
    EXPECT_DOUBLE_EQ(2.72, ini.GetDouble("N", "d", 0));
    EXPECT_EQ(3, ini.GetInt("N", "absent", 3));

    EXPECT_TRUE(ini.IncreaseInt("N", "oct", 1, 8));
    EXPECT_EQ("11", Raw("N", "oct"));
    EXPECT_TRUE(ini.FlipBool("N", "flag", false));
    EXPECT_TRUE(ini.GetBool("N", "flag", false));

    PutFile("[B]\r\nt=TRUE\r\ny=Yes\r\ns=7\r\nn=no\r\nz=0\r\na=abc\r\n");
    EXPECT_TRUE(ini.GetBool("B", "t", false));
    EXPECT_TRUE(ini.GetBool("B", "y", false));
    EXPECT_TRUE(ini.GetBool("B", "s", false));
    EXPECT_FALSE(ini.GetBool("B", "n", true));
    EXPECT_FALSE(ini.GetBool("B", "z", true));
    EXPECT_FALSE(ini.GetBool("B", "a", true));
    EXPECT_TRUE(ini.GetBool("B", "absent", true));
}

TEST_F(IniFileTest, StringsListsAndBlocks)
{
    PutFile("[L]\r\nlist=,a , b,\r\nok=0A0b\r\nodd=0A0\r\nbad=0G\r\n");
    CIni ini(path.c_str());
    char buf[32];
    size_t n = ini.GetArray("L", "list", buf, sizeof(buf));
    EXPECT_EQ(std::string("a\0b\0", 4), std::string(buf, n));
    Strings items;
    EXPECT_EQ(2u, ini.GetArray("L", "list", items));
    EXPECT_TRUE(ini.WriteArray("L", "joined", items, -1, ";"));
    EXPECT_EQ("a;b", Raw("L", "joined"));

    unsigned char bytes[4] = {0, 0, 0, 0};
    EXPECT_EQ(2u, ini.GetDataBlock("L", "ok", bytes, sizeof(bytes)));
    EXPECT_EQ(0x0A, bytes[0]);
    EXPECT_EQ(0x0B, bytes[1]);
    EXPECT_EQ(1u, ini.GetDataBlock("L", "ok", bytes, sizeof(bytes), 1));
    EXPECT_EQ(0u, ini.GetDataBlock("L", "odd", bytes, sizeof(bytes)));
    EXPECT_EQ(0u, ini.GetDataBlock("L", "bad", bytes, sizeof(bytes)));

    IniPoint pt = {-3, 70000};
    IniRect rc = {1, -2, 640, 480};
    EXPECT_TRUE(ini.WritePoint("L", "pt", pt));
    EXPECT_TRUE(ini.WriteRect("L", "rc", rc));
    EXPECT_EQ("FDFFFFFF70110100", Raw("L", "pt"));
    EXPECT_EQ(70000, ini.GetPoint("L", "pt", IniPoint{0, 0}).y);
    EXPECT_EQ(480, ini.GetRect("L", "rc", IniRect{0, 0, 0, 0}).bottom);
    EXPECT_EQ(9, ini.GetPoint("L", "rc", IniPoint{9, 9}).x);

    EXPECT_TRUE(ini.WriteString("L", "s", "abc"));
    EXPECT_TRUE(ini.AppendString("L", "s", "\xD6\xD0\xCE\xC4"));
    EXPECT_EQ("abc\xD6\xD0\xCE\xC4", ini.GetString("L", "s"));
    EXPECT_FALSE(ini.WriteString(NULL, "s", "x"));
    EXPECT_FALSE(ini.WriteString("L", NULL, "x"));
    EXPECT_EQ("abc\xD6\xD0\xCE\xC4", Raw("L", "s"));
}

TEST_F(IniFileTest, SectionsCopyMoveAndDelete)
{
    PutFile("[Src]\r\na=1\r\nb=2\r\n[Dst]\r\nold=x\r\n");
    CIni ini(path.c_str());
    Strings names;
    EXPECT_EQ(2u, ini.GetSectionNames(names));
    EXPECT_EQ(Strings({"Src", "Dst"}), names);
    EXPECT_EQ(10u, ini.GetSectionNames(NULL, 0));
    Strings keys;
    EXPECT_EQ(2u, ini.GetKeyNames("Src", keys));
    EXPECT_EQ(Strings({"a", "b"}), keys);
    EXPECT_EQ(10u, ini.GetKeyLines("Src", NULL, 0));

    EXPECT_TRUE(ini.IsSectionExist("src"));
    EXPECT_FALSE(ini.IsSectionExist("Nope"));
    EXPECT_TRUE(ini.IsKeyExist("Src", "A"));
    EXPECT_FALSE(ini.IsKeyExist("Src", "c"));

    EXPECT_FALSE(ini.CopySection("Src", "SRC", false));
    EXPECT_FALSE(ini.CopySection("Nope", "New", false));
    EXPECT_FALSE(ini.CopySection("Src", "Dst", true));
    EXPECT_TRUE(ini.CopySection("Src", "Dst", false));
    Strings lines;
    ini.GetKeyLines("Dst", lines);
    EXPECT_EQ(Strings({"a=1", "b=2"}), lines);

    EXPECT_TRUE(ini.MoveSection("Src", "Moved"));
    EXPECT_FALSE(ini.IsSectionExist("Src"));
    EXPECT_EQ("2", Raw("Moved", "b"));

    EXPECT_FALSE(ini.CopyKey("Moved", "a", "moved", "A", false));
    EXPECT_FALSE(ini.CopyKey("Moved", "b", "Dst", "a", true));
    EXPECT_TRUE(ini.MoveKey("Moved", "a", "Dst", "c"));
    EXPECT_EQ("<absent>", Raw("Moved", "a"));
    EXPECT_EQ("1", Raw("Dst", "c"));

    EXPECT_TRUE(ini.DeleteKey("Dst", "c"));
    EXPECT_EQ("<absent>", Raw("Dst", "c"));
    EXPECT_TRUE(ini.DeleteSection("Dst"));
    names.clear();
    ini.GetSectionNames(names);
    EXPECT_EQ(Strings({"Moved"}), names);
}

// The native tests run on the memory store; it must answer as the platform does.
std::vector<std::string> Replay(IIniStore &store, const char *file)
{
    std::vector<std::string> out;
    char buf[64];
    auto value = [&](const char *section, const char *key, const char *def, size_t size) {
        size_t n = store.GetString(section, key, def, buf, size, file);
        out.push_back(std::to_string(n) + ":" + std::string(buf, n));
    };
    auto section = [&](const char *name, size_t size) {
        size_t n = store.GetSection(name, buf, size, file);
        out.push_back(std::to_string(n) + ":" + std::string(buf, n));
    };
    auto names = [&](size_t size) {
        size_t n = store.GetSectionNames(buf, size, file);
        out.push_back(std::to_string(n) + ":" + std::string(buf, n));
    };
    store.WriteString("A", "one", "1", file);
    store.WriteString("A", " two ", "  2  ", file);
    store.WriteString("a", "q", "\"quoted\"", file);
    store.WriteString("B", "x", "y", file);
    value("A", "TWO", "", sizeof(buf));
    value("A", "q", "", sizeof(buf));
    value("A", "none", "dflt  ", sizeof(buf));
    value("A", "none", NULL, sizeof(buf));
    value("A", "one", "", 1);
    value("A", NULL, "", sizeof(buf));
    value("A", NULL, "", 6);
    value(NULL, NULL, "", sizeof(buf));
    value("Missing", NULL, "", sizeof(buf));
    section("A", sizeof(buf));
    section("A", 8);
    section("Missing", sizeof(buf));
    names(sizeof(buf));
    names(3);
    // No line without "=": Wine drops such lines where Windows keeps them.
    store.WriteSection("B", "k=v\0 m = n \0", file);
    section("B", sizeof(buf));
    value("B", NULL, "", sizeof(buf));
    store.WriteString("A", "one", NULL, file);
    section("A", sizeof(buf));
    store.WriteString("B", NULL, NULL, file);
    names(sizeof(buf));
    return out;
}

TEST_F(IniFileTest, MemoryStoreAnswersAsThePlatform)
{
    CWin32IniStore platform;
    CMemoryIniStore memory;
    std::vector<std::string> expected = Replay(platform, path.c_str());
    std::vector<std::string> actual = Replay(memory, path.c_str());
    ASSERT_EQ(expected.size(), actual.size());
    EXPECT_EQ("1:2", expected[0]);
    EXPECT_EQ("6:quoted", expected[1]);
    EXPECT_EQ(std::string("10:one\0two\0q\0", 13), expected[5]);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], actual[i]) << "step " << i;
}

TEST(ProfileWin32, PathsOfThisProgram)
{
    char module[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, module, sizeof(module)), 0u);
    std::string self = module;
    char ini[PROFILE_PATH_SIZE];
    char folder[PROFILE_PATH_SIZE];
    EXPECT_EQ(0, CProfile::GetProgramIniPath(ini));
    EXPECT_EQ(0, CProfile::GetProgramFolder(folder));
    EXPECT_EQ(self.substr(0, self.size() - 4) + ".ini", ini);
    EXPECT_EQ(self.substr(0, self.rfind('\\')), folder);
    EXPECT_EQ(1, CProfile::GetProgramIniPath(NULL));
    EXPECT_EQ(1, CProfile::GetProgramFolder(NULL));
}

} // namespace
