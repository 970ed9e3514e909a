#include "assistant/engine/version/VersionRules.h"

#include <gtest/gtest.h>

TEST(VersionRules, NormalisesDottedVersionsToPublishedLayout)
{
    EXPECT_EQ("10121218", NormaliseInstalledVersion("1.0.12.1218"));
    EXPECT_EQ("10010218", NormaliseInstalledVersion("1.0.1.218"));
    EXPECT_EQ("10120218", NormaliseInstalledVersion("1.0.12.218"));
    EXPECT_EQ("10011218", NormaliseInstalledVersion("1.0.1.1218"));
    EXPECT_EQ("12000000", NormaliseInstalledVersion("1.2"));
    EXPECT_EQ("10010000", NormaliseInstalledVersion("1.0.1"));
}

TEST(VersionRules, ComparesBytesInOrderAndLastByteAtLeast)
{
    EXPECT_EQ(1, InstalledIsCurrent("1.0.12.1218", "10121218"));
    EXPECT_EQ(0, InstalledIsCurrent("1.0.12.1218", "10121219"));
    EXPECT_EQ(1, InstalledIsCurrent("1.0.12.1219", "10121218"));
    // An earlier byte decides before the later ones are looked at.
    EXPECT_EQ(1, InstalledIsCurrent("1.1.0.0", "10FF9999"));
    EXPECT_EQ(0, InstalledIsCurrent("1.0.11.9999", "10120000"));
}

TEST(VersionRules, APublishedVersionIsExactlyEightHexadecimalDigits)
{
    EXPECT_TRUE(IsPublishedVersion("10121218"));
    EXPECT_TRUE(IsPublishedVersion("0A0b1218"));
    EXPECT_FALSE(IsPublishedVersion("0A0b1218 and the rest"));
    EXPECT_FALSE(IsPublishedVersion("FFFFFFFFFFFFFFFF"));
    EXPECT_FALSE(IsPublishedVersion("1012"));  // a cut-off file
    EXPECT_FALSE(IsPublishedVersion("1012121G"));
    EXPECT_FALSE(IsPublishedVersion(""));
}

TEST(VersionRules, TextThatIsNotHexadecimalDecodesToZero)
{
    uint8_t bytes[4] = {9, 9, 9, 9};
    DecodeVersionBytes("1012121G", bytes);
    EXPECT_EQ(0, bytes[0] | bytes[1] | bytes[2] | bytes[3]);
    DecodeVersionBytes("1012", bytes);
    EXPECT_EQ(0, bytes[0] | bytes[1] | bytes[2] | bytes[3]);
    DecodeVersionBytes("0A0b1218", bytes);
    EXPECT_EQ(0x0a, bytes[0]);
    EXPECT_EQ(0x0b, bytes[1]);
    EXPECT_EQ(0x18, bytes[3]);
    EXPECT_EQ(0, InstalledIsCurrent("x.y", "10121218"));
}
