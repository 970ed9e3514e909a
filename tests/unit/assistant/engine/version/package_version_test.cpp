#include "assistant/engine/version/PackageVersion.h"

#include <gtest/gtest.h>

#include <string.h>

#include <utility>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

void Put(Bytes &b, size_t at, uint32_t v, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = uint8_t(v >> 8 * i);
}

// A 32-bit program of one resource section holding one version resource.
Bytes Program(uint32_t ms, uint32_t ls, uint32_t type = 16)
{
    Bytes b(0x400);
    Put(b, 0, 0x5A4D, 2), Put(b, 0x3C, 0x40), Put(b, 0x40, 0x4550);
    Put(b, 0x46, 1, 2), Put(b, 0x54, 0xE0, 2), Put(b, 0x58, 0x10b, 2);  // sections, optional header size, PE32
    Put(b, 0x58 + 92, 16), Put(b, 0x58 + 96 + 16, 0x1000);  // resource directory
    size_t s = 0x58 + 0xE0;
    memcpy(&b[s], ".rsrc", 5);
    Put(b, s + 8, 0x200), Put(b, s + 12, 0x1000), Put(b, s + 16, 0x200), Put(b, s + 20, 0x200);
    size_t r = 0x200;
    Put(b, r + 14, 1, 2), Put(b, r + 16, type), Put(b, r + 20, 0x80000018);
    Put(b, r + 0x18 + 14, 1, 2), Put(b, r + 0x28, 1), Put(b, r + 0x2C, 0x80000030);
    Put(b, r + 0x30 + 14, 1, 2), Put(b, r + 0x40, 0x409), Put(b, r + 0x44, 0x48);
    Put(b, r + 0x48, 0x1058), Put(b, r + 0x4C, 0x5C);
    size_t v = r + 0x58;
    Put(b, v, 0x5C, 2), Put(b, v + 2, 52, 2);
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof(key); ++i)
        Put(b, v + 6 + 2 * i, uint8_t(key[i]), 2);
    Put(b, v + 40, 0xFEEF04BD), Put(b, v + 44, 0x10000), Put(b, v + 48, ms), Put(b, v + 52, ls);
    return b;
}

TEST(PackageVersion, TheFixedFileVersionOfTheVersionResourceOrNone)
{
    Bytes p = Program(0x00010000, 0x000C04C2);  // 1.0.12.1218
    uint16_t v[4] = {};
    ASSERT_TRUE(ReadPackageFileVersion(p.data(), p.size(), v));
    EXPECT_EQ(std::vector<uint16_t>({1, 0, 12, 1218}), std::vector<uint16_t>(v, v + 4));
    EXPECT_EQ("10121218", PackageVersionForm(v));
    uint16_t thirteen[4] = {1, 0, 13, 0};
    EXPECT_EQ("10130000", PackageVersionForm(thirteen));

    EXPECT_FALSE(ReadPackageFileVersion(p.data(), 0x290, v));  // cut off
    EXPECT_FALSE(ReadPackageFileVersion(p.data(), 0x40, v));
    Bytes icon = Program(0x00010000, 0, 3);
    EXPECT_FALSE(ReadPackageFileVersion(icon.data(), icon.size(), v));
    const char text[] = "<html>404</html>";
    EXPECT_FALSE(ReadPackageFileVersion(reinterpret_cast<const unsigned char *>(text), sizeof(text), v));
    // Headers beyond the file, no fixed information, a directory naming itself.
    for (auto broken : {std::make_pair(0x3C, 0xFFFFFFF0u), std::make_pair(0x200 + 0x58 + 40, 0u),
                        std::make_pair(0x200 + 0x2C, 0x80000000u)}) {
        Bytes b = p;
        Put(b, broken.first, broken.second);
        EXPECT_FALSE(ReadPackageFileVersion(b.data(), b.size(), v)) << broken.first;
    }
}

}  // namespace
