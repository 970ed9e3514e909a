#include "keymgr/library/CspControlBlock.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {

void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (uint8_t)(v >> (8 * i));
}

TEST(CspControlBlock, DecodesEachRecordAtItsStride)
{
    std::vector<uint8_t> b(CSP_CTRL_SIZE, 0);
    size_t r2 = 2 * CSP_RECORD_STRIDE;
    Put32(b, r2 + 0x1C, 3);
    Put32(b, r2 + 0x20, 0x1234);
    Put32(b, r2 + 0x24, 0x89ABCDEF);
    Put32(b, r2 + 0x28, 1);
    memcpy(&b[r2 + 0x2C], "ctr-2", 6);

    CspContainerRecord rec;
    ASSERT_TRUE(DecodeCspRecord(b.data(), b.size(), 2, &rec));
    EXPECT_EQ(3u, rec.keyFlags);
    EXPECT_EQ(0x1234u, rec.exchangeCertLength);
    EXPECT_EQ(0x89ABCDEFu, rec.signatureCertLength);
    EXPECT_EQ(1u, rec.inUse);
    EXPECT_EQ("ctr-2", rec.name);
    EXPECT_TRUE(rec.nameTerminated);

    ASSERT_TRUE(DecodeCspRecord(b.data(), b.size(), 1, &rec));
    EXPECT_EQ(0u, rec.inUse);
    EXPECT_EQ("", rec.name);
    EXPECT_TRUE(rec.nameTerminated);
}

TEST(CspControlBlock, NameNotTerminatedInsideItsRecord)
{
    std::vector<uint8_t> b(CSP_CTRL_SIZE, 0);
    // Record 0's name runs up to its last byte; record 1 starts with text
    // that a plain string read would run into.
    memset(&b[0x2C], 'A', CSP_RECORD_STRIDE - 0x2C);
    memset(&b[CSP_RECORD_STRIDE], 'B', 16);
    Put32(b, 0x28, 1);
    CspContainerRecord rec;
    ASSERT_TRUE(DecodeCspRecord(b.data(), b.size(), 0, &rec));
    EXPECT_FALSE(rec.nameTerminated);
    EXPECT_EQ("", rec.name);
    EXPECT_EQ(1u, rec.inUse);

    // A name ending on the record's last byte is still terminated.
    b[CSP_RECORD_STRIDE - 1] = 0;
    ASSERT_TRUE(DecodeCspRecord(b.data(), b.size(), 0, &rec));
    EXPECT_TRUE(rec.nameTerminated);
    EXPECT_EQ((size_t)CSP_RECORD_STRIDE - 0x2C - 1, rec.name.size());
}

TEST(CspControlBlock, ShortBufferAndBadIndex)
{
    std::vector<uint8_t> b(2 * CSP_RECORD_STRIDE + 10, 0);
    CspContainerRecord rec;
    EXPECT_TRUE(DecodeCspRecord(b.data(), b.size(), 1, &rec));
    EXPECT_FALSE(DecodeCspRecord(b.data(), b.size(), 2, &rec));
    EXPECT_FALSE(DecodeCspRecord(b.data(), b.size(), 3, &rec));
    EXPECT_FALSE(DecodeCspRecord(b.data(), b.size(), -1, &rec));
    EXPECT_FALSE(DecodeCspRecord(NULL, 0, 0, &rec));
}

TEST(CspControlBlock, KeySpecFromFlags)
{
    CspContainerRecord rec = {};
    rec.keyFlags = 1;
    EXPECT_EQ(1, ExpiryKeySpec(rec));
    rec.keyFlags = 2;
    EXPECT_EQ(2, ExpiryKeySpec(rec));
    rec.keyFlags = 3;
    EXPECT_EQ(2, ExpiryKeySpec(rec));
    rec.keyFlags = 0;
    EXPECT_EQ(1, ExpiryKeySpec(rec));
}

} // namespace
