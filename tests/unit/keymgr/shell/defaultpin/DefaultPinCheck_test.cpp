#include "keymgr/shell/defaultpin/DefaultPinCheck.h"

#include <gtest/gtest.h>

namespace {

TEST(DefaultPinCheck, OncePerInsertionOfEachToken)
{
    DefaultPinChecks checks;
    EXPECT_FALSE(checks.Take("ZV Reader 0")) << "no insertion seen: never";
    checks.Arm("ZV Reader 0");
    checks.Arm("ZV Reader 1");
    EXPECT_TRUE(checks.Take("ZV Reader 0"));
    EXPECT_FALSE(checks.Take("ZV Reader 0")) << "refreshes and reselections: no more tries";
    EXPECT_TRUE(checks.Take("ZV Reader 1")) << "the other reader keeps its own";
    checks.Arm("ZV Reader 0");
    checks.Arm("ZV Reader 0");
    EXPECT_TRUE(checks.Take("ZV Reader 0")) << "a new insertion: one more";
    EXPECT_FALSE(checks.Take("ZV Reader 0"));
    checks.Arm("");
    checks.Arm(NULL);
    EXPECT_FALSE(checks.Take(""));
    EXPECT_FALSE(checks.Take(NULL));
}

TEST(DefaultPinCheck, NeverWhenAFailureWouldLockTheToken)
{
    EXPECT_TRUE(DefaultPinMayBeTried(true, 6));
    EXPECT_TRUE(DefaultPinMayBeTried(true, 2));
    EXPECT_FALSE(DefaultPinMayBeTried(true, 1)) << "one try left";
    EXPECT_FALSE(DefaultPinMayBeTried(true, 0)) << "locked";
    EXPECT_FALSE(DefaultPinMayBeTried(false, 6)) << "tries unknown";
}

} // namespace
