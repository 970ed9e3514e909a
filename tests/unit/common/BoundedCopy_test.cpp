#include "common/BoundedCopy.h"
#include "common/Gbk.h"

#include <gtest/gtest.h>

TEST(BoundedCopy, CopiesWholeTextWhenItFits)
{
    char buf[8];
    EXPECT_EQ(3u, CopyBounded(buf, sizeof(buf), "abc"));
    EXPECT_STREQ("abc", buf);
}

TEST(BoundedCopy, CutsAndTerminatesAtTheBufferSize)
{
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(3u, CopyBounded(buf, sizeof(buf), "abcdef"));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ(0u, CopyBounded(buf, sizeof(buf), nullptr));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(0u, CopyBounded(buf, 0, "abc")); // no room: untouched, no crash
}

TEST(BoundedCopy, NeverSplitsADoubleByteCharacter)
{
    // "\xD6\xD0\xCE\xC4" is two GBK characters; a cut after three bytes
    // would leave half a character.
    char buf[4];
    EXPECT_EQ(2u, CopyBounded(buf, sizeof(buf), "\xD6\xD0\xCE\xC4"));
    EXPECT_STREQ("\xD6\xD0", buf);
    char wide[5];
    EXPECT_EQ(4u, CopyBounded(wide, sizeof(wide), "\xD6\xD0\xCE\xC4"));
}

TEST(BoundedCopy, UnterminatedSourceStopsAtItsLength)
{
    const char raw[3] = {'a', 'b', 'c'};
    char buf[8];
    EXPECT_EQ(2u, CopyBoundedN(buf, sizeof(buf), raw, 2));
    EXPECT_STREQ("ab", buf);
}

TEST(BoundedCopy, AppendStaysInsideTheBuffer)
{
    char buf[6] = "ab";
    EXPECT_EQ(5u, AppendBounded(buf, sizeof(buf), "cdefgh"));
    EXPECT_STREQ("abcde", buf);
    EXPECT_EQ(5u, AppendBounded(buf, sizeof(buf), "z"));
}
