#include "keymgr/INI/Ini.h"

#include "IniTestStore.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

class IniValueTest : public ::testing::Test {
protected:
    IniValueTest() : ini("C:\\ZV\\ZVApp.ini", store) {}
    void Put(const char *key, const char *value) { store.WriteString("S", key, value, ini.GetPathName()); }
    std::string Raw(const char *key)
    {
        char buf[256];
        store.GetString("S", key, "<absent>", buf, sizeof(buf), ini.GetPathName());
        return buf;
    }

    CountingIniStore store;
    CIni ini;
};

// ---- path ----

TEST(IniPath, OwnedCopyEmptiedByNull)
{
    CountingIniStore store;
    char path[] = "C:\\a.ini";
    CIni ini(path, store);
    path[0] = 'D';
    EXPECT_STREQ("C:\\a.ini", ini.GetPathName());
    ini.SetPathName(NULL);
    EXPECT_STREQ("", ini.GetPathName());
    EXPECT_STREQ("", CIni(NULL, store).GetPathName());
}

// ---- whole values ----

TEST_F(IniValueTest, Value510ReadsInOnePass511NeedsSecondPassOf1024)
{
    Put("v510", std::string(510, 'a').c_str());
    Put("v511", std::string(511, 'b').c_str());

    EXPECT_EQ(std::string(510, 'a'), ini.GetString("S", "v510"));
    EXPECT_EQ(std::vector<size_t>({512}), store.valueSizes);

    store.valueSizes.clear();
    EXPECT_EQ(std::string(511, 'b'), ini.GetString("S", "v511"));
    EXPECT_EQ(std::vector<size_t>({512, 1024}), store.valueSizes);
}

TEST_F(IniValueTest, LongValueReadWhole)
{
    std::string big;
    for (int i = 0; i < 5000; ++i)
        big += (char)('a' + i % 26);
    Put("big", big.c_str());
    EXPECT_EQ(big, ini.GetString("S", "big"));
    EXPECT_EQ(10u, store.valueSizes.size());
    EXPECT_EQ(5120u, store.valueSizes.back());
}

TEST_F(IniValueTest, GetStringIntoBufferIsBoundedAndTerminated)
{
    Put("long", std::string(2000, 'z').c_str());
    char buf[261];
    memset(buf, 'x', sizeof(buf));
    EXPECT_EQ(259u, ini.GetString("S", "long", buf, 260, "d"));
    EXPECT_EQ('\0', buf[259]);
    EXPECT_EQ('x', buf[260]);
    EXPECT_EQ(std::string(259, 'z'), buf);
    EXPECT_EQ(2000u, ini.GetString("S", "long", NULL, 0, "d"));
}

TEST_F(IniValueTest, GetStringDefaultsAndNullNames)
{
    char buf[64];
    EXPECT_EQ(19u, ini.GetString("Module", "Rel", buf, sizeof(buf), "KavelGeneralCSP.dll"));
    EXPECT_STREQ("KavelGeneralCSP.dll", buf);
    Put("k", "v");
    store.valueSizes.clear();
    EXPECT_EQ(3u, ini.GetString(NULL, "k", buf, sizeof(buf), "def"));
    EXPECT_STREQ("def", buf);
    EXPECT_EQ(0u, ini.GetString("S", NULL, buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    EXPECT_EQ("", ini.GetString(NULL, NULL));
    EXPECT_TRUE(store.valueSizes.empty());
}

TEST_F(IniValueTest, GetStringKeepsGbkCharactersWhole)
{
    Put("cn", "\xD6\xD0\xCE\xC4");
    char buf[4];
    EXPECT_EQ(2u, ini.GetString("S", "cn", buf, sizeof(buf)));
    EXPECT_STREQ("\xD6\xD0", buf);
}

TEST_F(IniValueTest, WriteAndAppendString)
{
    EXPECT_TRUE(ini.WriteString("S", "k", "abc"));
    EXPECT_TRUE(ini.AppendString("S", "k", "def"));
    EXPECT_EQ("abcdef", Raw("k"));
    EXPECT_TRUE(ini.AppendString("S", "new", "x"));
    EXPECT_EQ("x", Raw("new"));
    EXPECT_TRUE(ini.WriteString("S", "k", NULL));
    EXPECT_EQ("", Raw("k"));
    EXPECT_FALSE(ini.WriteString(NULL, "k", "v"));
    EXPECT_FALSE(ini.WriteString("S", NULL, "v"));
    EXPECT_FALSE(ini.AppendString("S", NULL, "v"));
    EXPECT_EQ("", Raw("k"));
}

// ---- bool, int, double ----

TEST_F(IniValueTest, BoolValues)
{
    const char *yes[] = {"TRUE", "Yes", "7", "true", "-1"};
    const char *no[] = {"no", "0", "abc", "false"};
    for (const char *v : yes) {
        Put("b", v);
        EXPECT_TRUE(ini.GetBool("S", "b", false)) << v;
    }
    for (const char *v : no) {
        Put("b", v);
        EXPECT_FALSE(ini.GetBool("S", "b", true)) << v;
    }
    EXPECT_TRUE(ini.GetBool("S", "absent", true));
    EXPECT_FALSE(ini.GetBool("S", "absent", false));
    Put("empty", "");
    EXPECT_TRUE(ini.GetBool("S", "empty", true));
    EXPECT_TRUE(ini.GetBool(NULL, "b", true));
}

TEST_F(IniValueTest, IntInEachBase)
{
    Put("bin", "1011");
    Put("oct", "017");
    Put("hex", "1f");
    Put("dec", "-42");
    EXPECT_EQ(11, ini.GetInt("S", "bin", 0, 2));
    EXPECT_EQ(15, ini.GetInt("S", "oct", 0, 8));
    EXPECT_EQ(31, ini.GetInt("S", "hex", 0, 16));
    EXPECT_EQ(-42, ini.GetInt("S", "dec", 0));
    // Any other base is decimal.
    EXPECT_EQ(1011, ini.GetInt("S", "bin", 0, 3));
    EXPECT_EQ(17, ini.GetInt("S", "oct", 0, 0));
    EXPECT_EQ(5, ini.GetInt("S", "absent", 5));
    Put("empty", "");
    EXPECT_EQ(6, ini.GetInt("S", "empty", 6));
    Put("text", "abc");
    EXPECT_EQ(0, ini.GetInt("S", "text", 9));
    EXPECT_EQ(7u, ini.GetUInt("S", "absent", 7u));
    EXPECT_EQ(8, ini.GetInt(NULL, "dec", 8));
}

TEST_F(IniValueTest, IntLimitsAreTheSameOnEveryPlatform)
{
    Put("big", "99999999999");
    Put("neg", "-99999999999");
    Put("u", "4294967295");
    Put("m1", "-1");
    EXPECT_EQ(2147483647, ini.GetInt("S", "big", 0));
    EXPECT_EQ(-2147483647 - 1, ini.GetInt("S", "neg", 0));
    EXPECT_EQ(4294967295u, ini.GetUInt("S", "u", 0));
    EXPECT_EQ(4294967295u, ini.GetUInt("S", "m1", 0));
    EXPECT_EQ(4294967295u, ini.GetUInt("S", "big", 0));
}

TEST_F(IniValueTest, NumbersReadFromAtMost64Characters)
{
    Put("long", (std::string(64, '0') + "5").c_str());
    EXPECT_EQ(0, ini.GetInt("S", "long", 9));
    ini.GetInt("S", "long", 9);
    EXPECT_EQ(65u, store.valueSizes.back());
}

TEST_F(IniValueTest, WriteIntInEachBaseReadsBack)
{
    struct Case {
        int value, base;
        const char *text;
    } cases[] = {{10, 2, "1010"}, {0, 2, "0"}, {-1, 2, "11111111111111111111111111111111"},
                 {8, 8, "10"},    {255, 16, "FF"}, {-1, 16, "FFFFFFFF"}, {-5, 10, "-5"}, {-5, 7, "-5"}};
    for (const Case &c : cases) {
        EXPECT_TRUE(ini.WriteInt("S", "i", c.value, c.base));
        EXPECT_EQ(c.text, Raw("i")) << c.value << " base " << c.base;
        EXPECT_EQ(c.value, ini.GetInt("S", "i", 12345, c.base)) << c.text;
    }
    EXPECT_TRUE(ini.WriteUInt("S", "u", 4294967295u, 10));
    EXPECT_EQ("4294967295", Raw("u"));
    EXPECT_TRUE(ini.WriteUInt("S", "u", 4000000000u, 5));
    EXPECT_EQ("4000000000", Raw("u"));
    EXPECT_EQ(4000000000u, ini.GetUInt("S", "u", 0));
    EXPECT_TRUE(ini.WriteUInt("S", "u", 0x80000000u, 2));
    EXPECT_EQ("1" + std::string(31, '0'), Raw("u"));
}

TEST_F(IniValueTest, DoubleWithPrecision)
{
    EXPECT_TRUE(ini.WriteDouble("S", "d", 3.14159));
    EXPECT_EQ("3.141590", Raw("d"));
    EXPECT_TRUE(ini.WriteDouble("S", "d", 3.14159, 3));
    EXPECT_EQ("3.142", Raw("d"));
    EXPECT_TRUE(ini.WriteDouble("S", "d", 2.5, 0));
    EXPECT_EQ("2.500000", Raw("d"));
    EXPECT_DOUBLE_EQ(2.5, ini.GetDouble("S", "d", 0));
    EXPECT_DOUBLE_EQ(1.25, ini.GetDouble("S", "absent", 1.25));
    EXPECT_TRUE(ini.WriteDouble("S", "huge", 1e300));
    EXPECT_EQ(301u, ini.GetString("S", "huge").find('.'));
}

TEST_F(IniValueTest, IncreaseAndFlip)
{
    EXPECT_TRUE(ini.IncreaseInt("S", "n", 5));
    EXPECT_EQ(5, ini.GetInt("S", "n", 0));
    EXPECT_TRUE(ini.IncreaseInt("S", "n", -7));
    EXPECT_EQ("-2", Raw("n"));
    Put("h", "FF");
    EXPECT_TRUE(ini.IncreaseInt("S", "h", 1, 16));
    EXPECT_EQ("100", Raw("h"));
    Put("max", "2147483647");
    EXPECT_TRUE(ini.IncreaseInt("S", "max", 1));
    EXPECT_EQ("-2147483648", Raw("max"));
    EXPECT_TRUE(ini.IncreaseDouble("S", "d", 1.5, 1));
    EXPECT_TRUE(ini.IncreaseDouble("S", "d", 1.5, 1));
    EXPECT_EQ("3.0", Raw("d"));
    EXPECT_TRUE(ini.FlipBool("S", "b", false));
    EXPECT_TRUE(ini.GetBool("S", "b", false));
    Put("b", "Yes");
    EXPECT_TRUE(ini.FlipBool("S", "b"));
    EXPECT_EQ("0", Raw("b"));
    EXPECT_FALSE(ini.IncreaseInt(NULL, "n", 1));
    EXPECT_FALSE(ini.FlipBool("S", NULL));
}

// ---- data blocks, points, rectangles ----

TEST_F(IniValueTest, DataBlocks)
{
    uint8_t out[8];
    memset(out, 0xEE, sizeof(out));
    Put("ok", "0A0b");
    EXPECT_EQ(2u, ini.GetDataBlock("S", "ok", out, sizeof(out)));
    EXPECT_EQ(0x0A, out[0]);
    EXPECT_EQ(0x0B, out[1]);
    EXPECT_EQ(0xEE, out[2]);
    EXPECT_EQ(1u, ini.GetDataBlock("S", "ok", out, sizeof(out), 1));
    EXPECT_EQ(0x0B, out[0]);
    EXPECT_EQ(0u, ini.GetDataBlock("S", "ok", out, sizeof(out), 2));
    EXPECT_EQ(1u, ini.GetDataBlock("S", "ok", out, 1));

    Put("odd", "0A0");
    Put("bad", "0G");
    Put("empty", "");
    EXPECT_EQ(0u, ini.GetDataBlock("S", "odd", out, sizeof(out)));
    EXPECT_EQ(0u, ini.GetDataBlock("S", "bad", out, sizeof(out)));
    EXPECT_EQ(0u, ini.GetDataBlock("S", "empty", out, sizeof(out)));
    EXPECT_EQ(0u, ini.GetDataBlock("S", "absent", out, sizeof(out)));
    EXPECT_EQ(0u, ini.GetDataBlock("S", "ok", NULL, 8));

    const uint8_t bytes[] = {0x00, 0x7F, 0xA5, 0xFF};
    EXPECT_TRUE(ini.WriteDataBlock("S", "blk", bytes, 4));
    EXPECT_EQ("007FA5FF", Raw("blk"));
    EXPECT_TRUE(ini.AppendDataBlock("S", "blk", bytes + 2, 1));
    EXPECT_EQ("007FA5FFA5", Raw("blk"));
    EXPECT_EQ(5u, ini.GetDataBlock("S", "blk", out, sizeof(out)));
    EXPECT_FALSE(ini.WriteDataBlock("S", "blk", NULL, 3));
    EXPECT_EQ("007FA5FFA5", Raw("blk"));
}

TEST_F(IniValueTest, PointAndRect)
{
    IniPoint pt = {-3, 70000};
    IniRect rc = {1, -2, 640, 480};
    EXPECT_TRUE(ini.WritePoint("S", "pt", pt));
    EXPECT_TRUE(ini.WriteRect("S", "rc", rc));
    EXPECT_EQ("FDFFFFFF70110100", Raw("pt"));
    IniPoint p = ini.GetPoint("S", "pt", IniPoint{0, 0});
    EXPECT_EQ(-3, p.x);
    EXPECT_EQ(70000, p.y);
    IniRect r = ini.GetRect("S", "rc", IniRect{0, 0, 0, 0});
    EXPECT_EQ(1, r.left);
    EXPECT_EQ(-2, r.top);
    EXPECT_EQ(640, r.right);
    EXPECT_EQ(480, r.bottom);

    // The wrong size gives the defaults: a rectangle is no point, nor the reverse.
    IniPoint defPt = {11, 12};
    IniRect defRc = {1, 2, 3, 4};
    EXPECT_EQ(11, ini.GetPoint("S", "rc", defPt).x);
    EXPECT_EQ(4, ini.GetRect("S", "pt", defRc).bottom);
    Put("short", "01020304050607");
    EXPECT_EQ(12, ini.GetPoint("S", "short", defPt).y);
    Put("bad", "FDFFFFFF7011010G");
    EXPECT_EQ(11, ini.GetPoint("S", "bad", defPt).x);
    EXPECT_EQ(3, ini.GetRect("S", "absent", defRc).right);
}

// ---- lists ----

TEST_F(IniValueTest, ListSplitTrimmedEmptyItemsDropped)
{
    Put("l", ",a , b,");
    char buf[32];
    memset(buf, 'x', sizeof(buf));
    size_t n = ini.GetArray("S", "l", buf, sizeof(buf));
    EXPECT_EQ(std::string("a\0b\0", 4), std::string(buf, n));
    EXPECT_EQ('\0', buf[n]);

    n = ini.GetArray("S", "l", buf, sizeof(buf), ",", false);
    EXPECT_EQ(std::string("a \0 b\0", 6), std::string(buf, n));

    Put("t", " x ;\ty\r\n;;");
    n = ini.GetArray("S", "t", buf, sizeof(buf), ";");
    EXPECT_EQ(std::string("x\0y\0", 4), std::string(buf, n));

    // An empty delimiter does not split.
    n = ini.GetArray("S", "l", buf, sizeof(buf), "");
    EXPECT_EQ(std::string(",a , b,\0", 8), std::string(buf, n));

    Put("multi", "a::b:c");
    std::vector<std::string> items;
    EXPECT_EQ(2u, ini.GetArray("S", "multi", items, "::"));
    EXPECT_EQ(std::vector<std::string>({"a", "b:c"}), items);
}

TEST_F(IniValueTest, ListIntoSmallBufferKeepsWholeItems)
{
    Put("l", "alpha,beta,gamma");
    char buf[12];
    memset(buf, 'x', sizeof(buf));
    size_t n = ini.GetArray("S", "l", buf, sizeof(buf));
    EXPECT_EQ(std::string("alpha\0beta\0", 11), std::string(buf, n));
    EXPECT_EQ('\0', buf[11]);
    n = ini.GetArray("S", "l", buf, 3);
    EXPECT_EQ(0u, n);
    EXPECT_EQ('\0', buf[0]);
    EXPECT_EQ(0u, ini.GetArray(NULL, "l", buf, sizeof(buf)));
}

TEST_F(IniValueTest, ListArrayAppendsAndWriteJoins)
{
    Put("l", ",a , b,");
    std::vector<std::string> items(1, "first");
    EXPECT_EQ(2u, ini.GetArray("S", "l", items));
    EXPECT_EQ(std::vector<std::string>({"first", "a", "b"}), items);

    EXPECT_TRUE(ini.WriteArray("S", "w", items));
    EXPECT_EQ("first,a,b", Raw("w"));
    EXPECT_TRUE(ini.WriteArray("S", "w", items, 2, "|"));
    EXPECT_EQ("first|a", Raw("w"));
    EXPECT_TRUE(ini.WriteArray("S", "w", items, 99));
    EXPECT_EQ("first,a,b", Raw("w"));
    EXPECT_TRUE(ini.WriteArray("S", "w", items, 0));
    EXPECT_EQ("", Raw("w"));
}

} // namespace
