#include "keymgr/shell/defaultpin/DefaultPinTries.h"

#include <gtest/gtest.h>

namespace {

TEST(DefaultPinTries, OncePerInsertionOfEachToken)
{
    DefaultPinTries tries;
    EXPECT_FALSE(tries.Take("ZV Reader 0")) << "no insertion seen: never";
    tries.Arm("ZV Reader 0");
    tries.Arm("ZV Reader 1");
    EXPECT_TRUE(tries.Take("ZV Reader 0"));
    EXPECT_FALSE(tries.Take("ZV Reader 0")) << "refreshes and reselections: no more tries";
    EXPECT_TRUE(tries.Take("ZV Reader 1")) << "the other reader keeps its own";
    tries.Arm("ZV Reader 0");
    tries.Arm("ZV Reader 0");
    EXPECT_TRUE(tries.Take("ZV Reader 0")) << "a new insertion: one more";
    EXPECT_FALSE(tries.Take("ZV Reader 0"));
    tries.Arm("");
    tries.Arm(NULL);
    EXPECT_FALSE(tries.Take(""));
    EXPECT_FALSE(tries.Take(NULL));
}

TEST(DefaultPinTries, NeverWhenAFailureWouldLockTheToken)
{
    EXPECT_TRUE(DefaultPinMayBeTried(true, 6));
    EXPECT_TRUE(DefaultPinMayBeTried(true, 2));
    EXPECT_FALSE(DefaultPinMayBeTried(true, 1)) << "one try left";
    EXPECT_FALSE(DefaultPinMayBeTried(true, 0)) << "locked";
    EXPECT_FALSE(DefaultPinMayBeTried(false, 6)) << "tries unknown";
}

} // namespace
