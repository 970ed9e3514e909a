#include "keymgr/shell/expiry/CertExpiry.h"

#include <gtest/gtest.h>

namespace {

const uint64_t kNow = 133000000000000000ull; // some time in 2022
const uint64_t U = kExpiryUnitTicks;

TEST(CertExpiry, UnitIsAbout86328Seconds)
{
    EXPECT_EQ(86328u, U / 10000000u);
}

TEST(CertExpiry, ThreeUnitsAheadAgainstTheConfiguredDays)
{
    uint64_t notAfter = kNow + 3 * U + U / 2;
    EXPECT_EQ(3u, ExpiryUnitsRemaining(notAfter, kNow));
    EXPECT_TRUE(CertificateExpiring(notAfter, kNow, 7));
    EXPECT_TRUE(CertificateExpiring(notAfter, kNow, 3));
    EXPECT_FALSE(CertificateExpiring(notAfter, kNow, 2));
}

TEST(CertExpiry, WholeUnitsOnly)
{
    EXPECT_FALSE(CertificateExpiring(kNow + 3 * U, kNow, 2));
    EXPECT_TRUE(CertificateExpiring(kNow + 3 * U - 1, kNow, 2)); // 2.999 units count as 2
    EXPECT_TRUE(CertificateExpiring(kNow + U - 1, kNow, 0));
    EXPECT_FALSE(CertificateExpiring(kNow + U, kNow, 0));
}

TEST(CertExpiry, PastOrNowAlwaysExpiring)
{
    EXPECT_TRUE(CertificateExpiring(kNow, kNow, 0));
    EXPECT_TRUE(CertificateExpiring(kNow - 100 * U, kNow, -5));
    EXPECT_FALSE(CertificateExpiring(kNow + 1, kNow, -1));
    EXPECT_EQ(0u, ExpiryUnitsRemaining(kNow - 1, kNow));
}

} // namespace

namespace {

TEST(CertExpiry, NowFromServerIsShiftedEightHours)
{
    EXPECT_EQ(kNow + 8ull * 3600 * 10000000, ExpiryNow(true, kNow, 5));
    EXPECT_EQ(5u, ExpiryNow(false, kNow, 5));
}

} // namespace
