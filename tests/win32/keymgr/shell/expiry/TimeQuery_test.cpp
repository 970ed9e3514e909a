// The Time-protocol query against a loopback server thread.
#include "keymgr/shell/expiry/TimeQuery.h"
#include "keymgr/shell/expiry/TimeReply.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "LoopbackTimeServer.h"

namespace {

class TimeQueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WSADATA d;
        WSAStartup(MAKEWORD(2, 2), &d);
    }
    void TearDown() override { WSACleanup(); }
};

TEST_F(TimeQueryTest, ReadsFourBytesFromTheServer)
{
    Server s;
    s.seconds = 3913056000u; // 2024-01-01 00:00 UTC
    ASSERT_TRUE(StartServer(&s, ANSWER));
    uint64_t ft = 0;
    DWORD start = GetTickCount();
    EXPECT_TRUE(QueryTimeServerAt(0x7F000001, s.port, &ft));
    EXPECT_GE(GetTickCount() - start, 450u) << "waits 500 ms before reading";
    EXPECT_EQ(116444736000000000ull + 1704067200ull * 10000000ull, ft);
    StopServer(&s);
}

TEST_F(TimeQueryTest, ShortReplyOrAtOnceClosedFails)
{
    for (Behaviour b : {ANSWER_TWO_BYTES, CLOSE_AT_ONCE}) {
        Server s;
        ASSERT_TRUE(StartServer(&s, b));
        uint64_t ft = 77;
        EXPECT_FALSE(QueryTimeServerAt(0x7F000001, s.port, &ft)) << b;
        EXPECT_EQ(1, s.accepted);
        StopServer(&s);
    }
}

TEST_F(TimeQueryTest, RefusedFailsAtOnce)
{
    Server s;
    ASSERT_TRUE(StartServer(&s, ANSWER));
    uint16_t port = s.port;
    StopServer(&s); // nobody listens there now
    uint64_t ft = 0;
    DWORD start = GetTickCount();
    EXPECT_FALSE(QueryTimeServerAt(0x7F000001, port, &ft));
    EXPECT_LT(GetTickCount() - start, 3000u);
}

TEST_F(TimeQueryTest, SilentServerEndsByTheReceiveTimeout)
{
    Server s;
    ASSERT_TRUE(StartServer(&s, SILENT));
    uint64_t ft = 0;
    DWORD start = GetTickCount();
    EXPECT_FALSE(QueryTimeServerAt(0x7F000001, s.port, &ft));
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 5000u);
    EXPECT_LT(took, 8000u);
    StopServer(&s);
}

TEST_F(TimeQueryTest, OverrideComesFromTheEnvironment)
{
    // The test program sets ZVAPP_TIME_SERVER before anything reads it
    // (see ExpiryWarning_test.cpp).
    uint32_t a;
    uint16_t p;
    ConfiguredTimeServer(&a, &p);
    EXPECT_EQ(0x7F000001u, a);
    EXPECT_EQ(37037, p);
}

} // namespace
