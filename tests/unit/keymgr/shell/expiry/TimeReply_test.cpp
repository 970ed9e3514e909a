#include "keymgr/shell/expiry/TimeReply.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeReply, FourBigEndianBytesSince1900)
{
    // 3,913,056,000 s after 1900 is 2024-01-01 00:00 UTC (Unix 1704067200).
    const uint8_t reply[4] = {0xE9, 0x3C, 0x7F, 0x00};
    uint64_t ft = 0;
    ASSERT_TRUE(DecodeTimeReply(reply, 4, &ft));
    const uint64_t unixEpoch = 116444736000000000ull;
    EXPECT_EQ(unixEpoch + 1704067200ull * 10000000ull, ft);

    const uint8_t zero[4] = {0, 0, 0, 0};
    ASSERT_TRUE(DecodeTimeReply(zero, 4, &ft));
    EXPECT_EQ(kTicks1601To1900, ft);
}

TEST(TimeReply, AnythingButFourBytesFails)
{
    const uint8_t reply[5] = {1, 2, 3, 4, 5};
    uint64_t ft = 42;
    EXPECT_FALSE(DecodeTimeReply(reply, 0, &ft));
    EXPECT_FALSE(DecodeTimeReply(reply, 2, &ft));
    EXPECT_FALSE(DecodeTimeReply(reply, 3, &ft));
    EXPECT_FALSE(DecodeTimeReply(reply, 5, &ft));
    EXPECT_FALSE(DecodeTimeReply(NULL, 4, &ft));
    EXPECT_EQ(42u, ft);
}

TEST(TimeReply, ServerOverride)
{
    uint32_t a = 0;
    uint16_t p = 0;
    ASSERT_TRUE(ParseTimeServer("127.0.0.1:3737", &a, &p));
    EXPECT_EQ(0x7F000001u, a);
    EXPECT_EQ(3737, p);
    ASSERT_TRUE(ParseTimeServer("10.1.2.3", &a, &p));
    EXPECT_EQ(0x0A010203u, a);
    EXPECT_EQ(37, p);
    a = 7;
    p = 7;
    const char *bad[] = {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4:", "1.2.3.4:0", "1.2.3.4:65536",
                         "1.2.3.4:80x", "a.b.c.d", "1..2.3", " 1.2.3.4", "1.2.3.4 ", "0001.2.3.4"};
    for (const char *t : bad)
        EXPECT_FALSE(ParseTimeServer(t, &a, &p)) << t;
    EXPECT_EQ(7u, a);
    EXPECT_FALSE(ParseTimeServer(NULL, &a, &p));
}

TEST(TimeReply, TheOverrideReplacesTheServerOnlyWhole)
{
    uint32_t a = 0;
    uint16_t p = 0;
    ChooseTimeServer("10.1.2.3:3737", &a, &p);
    EXPECT_EQ(0x0A010203u, a);
    EXPECT_EQ(3737, p);
    ChooseTimeServer("10.1.2.3", &a, &p);
    EXPECT_EQ(0x0A010203u, a);
    EXPECT_EQ(TIME_PORT, p);
    // Unset or malformed: the production server, none of the override's parts.
    for (const char *t : {(const char *)NULL, "", "10.1.2.3:0", "10.1.2.3:80x", "10.1.2"}) {
        a = 0;
        p = 0;
        ChooseTimeServer(t, &a, &p);
        EXPECT_EQ(kTimeServerAddress, a) << (t ? t : "unset");
        EXPECT_EQ(TIME_PORT, p) << (t ? t : "unset");
    }
}

} // namespace
