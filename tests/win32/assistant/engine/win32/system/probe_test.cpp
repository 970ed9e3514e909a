#include "assistant/engine/win32/system/NetworkProbe.h"
#include "tests/win32/assistant/LoopbackServer.h"

#include <gtest/gtest.h>

namespace {

TEST(NetworkProbe, AnsweringServerGivesOneOrItsStatus)
{
    LoopbackServer ok(LoopbackServer::Answer, 200);
    EXPECT_EQ(1, ProbeUrl(ok.Url().c_str()));
    EXPECT_EQ(1, ProbeNetwork(ok.Url().c_str()));
    LoopbackServer missing(LoopbackServer::Answer, 404);
    EXPECT_EQ(404, ProbeUrl(missing.Url().c_str()));
    EXPECT_EQ(404, ProbeNetwork(missing.Url().c_str()));
}

TEST(NetworkProbe, RefusedConnectionOpensNoRequest)
{
    EXPECT_EQ(-1, ProbeUrl(LoopbackServer::RefusedUrl().c_str()));
}

TEST(NetworkProbe, SilentServerIsGivenUpAfterTheFixedWait)
{
    LoopbackServer silent(LoopbackServer::Silent);
    DWORD start = GetTickCount();
    int result = ProbeNetwork(silent.Url().c_str());
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(0, result);
    EXPECT_GE(elapsed + 50, kProbeTimeLimitMs);
    EXPECT_LT(elapsed, kProbeTimeLimitMs + 3000);
}

}  // namespace
