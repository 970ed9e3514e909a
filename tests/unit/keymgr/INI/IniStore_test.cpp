// The in-memory store must behave like the platform's profile functions, or
// the CIni tests built on it prove nothing.
#include "keymgr/INI/store/MemoryIniStore.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

const char *F = "C:\\t\\a.ini";

std::string List(const char *buffer, size_t length)
{
    return std::string(buffer, length);
}

class MemoryStoreTest : public ::testing::Test {
protected:
    CMemoryIniStore store;
};

TEST_F(MemoryStoreTest, ValueCutToSizeMinusOneAndTerminated)
{
    store.WriteString("S", "k", "abcdef", F);
    char buf[8];
    memset(buf, 'x', sizeof(buf));
    EXPECT_EQ(3u, store.GetString("S", "k", "", buf, 4, F));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ('x', buf[4]);
    EXPECT_EQ(6u, store.GetString("S", "k", "", buf, 8, F));
    EXPECT_STREQ("abcdef", buf);
    EXPECT_EQ(0u, store.GetString("S", "k", "", buf, 0, F));
}

TEST_F(MemoryStoreTest, NamesIgnoreCaseValuesTrimmedQuotesStripped)
{
    store.WriteString(" Sec ", " Key ", "  v  ", F);
    store.WriteString("q", "k", "\"quoted\"", F);
    store.WriteString("q", "half", "\"open", F);
    char buf[32];
    EXPECT_EQ(1u, store.GetString("SEC", "key", "", buf, sizeof(buf), F));
    EXPECT_STREQ("v", buf);
    store.GetString("Q", "K", "", buf, sizeof(buf), F);
    EXPECT_STREQ("quoted", buf);
    store.GetString("q", "half", "", buf, sizeof(buf), F);
    EXPECT_STREQ("\"open", buf);
}

TEST_F(MemoryStoreTest, MissingKeyGivesDefaultWithoutTrailingBlanks)
{
    char buf[32];
    EXPECT_EQ(3u, store.GetString("S", "k", "def  ", buf, sizeof(buf), F));
    EXPECT_STREQ("def", buf);
    EXPECT_EQ(0u, store.GetString("S", "k", NULL, buf, sizeof(buf), F));
    EXPECT_STREQ("", buf);
}

TEST_F(MemoryStoreTest, FilesAreSeparate)
{
    store.WriteString("S", "k", "1", F);
    char buf[8];
    store.GetString("S", "k", "none", buf, sizeof(buf), "C:\\other.ini");
    EXPECT_STREQ("none", buf);
}

TEST_F(MemoryStoreTest, NullKeyListsKeysNullSectionListsSections)
{
    store.WriteString("A", "one", "1", F);
    store.WriteString("A", "two", "2", F);
    store.WriteString("B", "x", "3", F);
    char buf[64];
    size_t n = store.GetString("A", NULL, "", buf, sizeof(buf), F);
    EXPECT_EQ(std::string("one\0two\0", 8), List(buf, n));
    EXPECT_EQ('\0', buf[n]);
    n = store.GetString(NULL, NULL, "", buf, sizeof(buf), F);
    EXPECT_EQ(std::string("A\0B\0", 4), List(buf, n));
    n = store.GetSectionNames(buf, sizeof(buf), F);
    EXPECT_EQ(std::string("A\0B\0", 4), List(buf, n));
}

TEST_F(MemoryStoreTest, ListThatDoesNotFitEndsInTwoNulsAndGivesSizeMinusTwo)
{
    store.WriteString("A", "one", "1", F);
    store.WriteString("A", "two", "2", F);
    char buf[16];
    memset(buf, 'x', sizeof(buf));
    EXPECT_EQ(4u, store.GetSection("A", buf, 6, F));
    EXPECT_EQ(std::string("one=\0\0", 6), List(buf, 6));
    EXPECT_EQ('x', buf[6]);
    // "one=1\0two=2\0" is 12 bytes and fits in 14 (with the final NUL and
    // a spare one); in 13 it is reported cut.
    EXPECT_EQ(12u, store.GetSection("A", buf, 14, F));
    EXPECT_EQ(11u, store.GetSection("A", buf, 13, F));
    EXPECT_EQ(3u, store.GetString("A", NULL, "", buf, 5, F));
}

TEST_F(MemoryStoreTest, DeleteKeyAndSection)
{
    store.WriteString("A", "k", "1", F);
    store.WriteString("A", "j", "2", F);
    store.WriteString("B", "k", "3", F);
    char buf[32];
    EXPECT_TRUE(store.WriteString("a", "K", NULL, F));
    EXPECT_STREQ("gone", (store.GetString("A", "k", "gone", buf, sizeof(buf), F), buf));
    EXPECT_STREQ("2", (store.GetString("A", "j", "", buf, sizeof(buf), F), buf));
    EXPECT_TRUE(store.WriteString("A", NULL, NULL, F));
    size_t n = store.GetSectionNames(buf, sizeof(buf), F);
    EXPECT_EQ(std::string("B\0", 2), List(buf, n));
    EXPECT_FALSE(store.WriteString(NULL, "k", "v", F));
}

TEST_F(MemoryStoreTest, WriteSectionReplacesAllKeys)
{
    store.WriteString("A", "old", "1", F);
    EXPECT_TRUE(store.WriteSection("A", "x=1\0y = 2\0bare\0", F));
    char buf[64];
    size_t n = store.GetSection("A", buf, sizeof(buf), F);
    EXPECT_EQ(std::string("x=1\0y=2\0bare\0", 13), List(buf, n));
    EXPECT_STREQ("none", (store.GetString("A", "old", "none", buf, sizeof(buf), F), buf));
    EXPECT_TRUE(store.WriteSection("A", NULL, F));
    EXPECT_EQ(0u, store.GetSectionNames(buf, sizeof(buf), F));
}

} // namespace
