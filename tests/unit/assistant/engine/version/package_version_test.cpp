#include "assistant/engine/version/PackageVersion.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

namespace {

void Put16(std::vector<unsigned char> &b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<unsigned char> &b, size_t at, uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// A 32-bit program of one resource section holding one version resource.
std::vector<unsigned char> Program(uint32_t ms, uint32_t ls, uint32_t type = 16)
{
    std::vector<unsigned char> b(0x400);
    Put16(b, 0, 0x5A4D);
    Put32(b, 0x3C, 0x40);
    Put32(b, 0x40, 0x4550);
    Put16(b, 0x46, 1);       // sections
    Put16(b, 0x54, 0xE0);    // optional header size
    Put16(b, 0x58, 0x10b);   // PE32
    Put32(b, 0x58 + 92, 16);
    Put32(b, 0x58 + 96 + 16, 0x1000);  // resource directory
    size_t s = 0x58 + 0xE0;
    memcpy(&b[s], ".rsrc", 5);
    Put32(b, s + 8, 0x200);
    Put32(b, s + 12, 0x1000);
    Put32(b, s + 16, 0x200);
    Put32(b, s + 20, 0x200);
    size_t r = 0x200;
    Put16(b, r + 14, 1), Put32(b, r + 16, type), Put32(b, r + 20, 0x80000018);
    Put16(b, r + 0x18 + 14, 1), Put32(b, r + 0x28, 1), Put32(b, r + 0x2C, 0x80000030);
    Put16(b, r + 0x30 + 14, 1), Put32(b, r + 0x40, 0x409), Put32(b, r + 0x44, 0x48);
    Put32(b, r + 0x48, 0x1058), Put32(b, r + 0x4C, 0x5C);
    size_t v = r + 0x58;
    Put16(b, v, 0x5C), Put16(b, v + 2, 52);
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof(key); ++i)
        Put16(b, v + 6 + 2 * i, uint8_t(key[i]));
    Put32(b, v + 40, 0xFEEF04BD), Put32(b, v + 44, 0x10000), Put32(b, v + 48, ms), Put32(b, v + 52, ls);
    return b;
}

TEST(PackageVersion, TheFixedFileVersionOfTheVersionResource)
{
    std::vector<unsigned char> p = Program(0x00010000, 0x000C04C2);  // 1.0.12.1218
    uint16_t v[4] = {};
    ASSERT_TRUE(ReadPackageFileVersion(p.data(), p.size(), v));
    EXPECT_EQ(1, v[0]);
    EXPECT_EQ(0, v[1]);
    EXPECT_EQ(12, v[2]);
    EXPECT_EQ(1218, v[3]);
    EXPECT_EQ("10121218", PackageVersionForm(v));
    uint16_t thirteen[4] = {1, 0, 13, 0};
    EXPECT_EQ("10130000", PackageVersionForm(thirteen));
}

TEST(PackageVersion, NoProgramOrNoVersionResourceGivesNone)
{
    uint16_t v[4] = {};
    std::vector<unsigned char> p = Program(0x00010000, 0);
    EXPECT_FALSE(ReadPackageFileVersion(p.data(), 0x290, v));  // cut off
    EXPECT_FALSE(ReadPackageFileVersion(p.data(), 0x40, v));
    std::vector<unsigned char> icon = Program(0x00010000, 0, 3);
    EXPECT_FALSE(ReadPackageFileVersion(icon.data(), icon.size(), v));
    std::vector<unsigned char> far = p;
    Put32(far, 0x3C, 0xFFFFFFF0);  // headers beyond the file
    EXPECT_FALSE(ReadPackageFileVersion(far.data(), far.size(), v));
    std::vector<unsigned char> unsigned_ = p;
    Put32(unsigned_, 0x200 + 0x58 + 40, 0);  // no fixed information
    EXPECT_FALSE(ReadPackageFileVersion(unsigned_.data(), unsigned_.size(), v));
    std::vector<unsigned char> loop = p;
    Put32(loop, 0x200 + 0x2C, 0x80000000);  // a directory naming itself
    EXPECT_FALSE(ReadPackageFileVersion(loop.data(), loop.size(), v));
    const char text[] = "<html>404</html>";
    EXPECT_FALSE(ReadPackageFileVersion(reinterpret_cast<const unsigned char *>(text), sizeof(text), v));
}

}  // namespace
