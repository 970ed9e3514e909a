#include "keymgr/library/CspControlBlock.h"
#include "keymgr/pages/certs/CertTreeRules.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

namespace {

void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (uint8_t)(v >> (8 * i));
}

void Slot(std::vector<uint8_t> &b, int slot, uint32_t flags, uint32_t exch, uint32_t sig, uint32_t inUse,
          const char *name)
{
    size_t r = (size_t)slot * CSP_RECORD_STRIDE;
    Put32(b, r + CSP_OFF_KEY_FLAGS, flags);
    Put32(b, r + CSP_OFF_EXCHANGE_LENGTH, exch);
    Put32(b, r + CSP_OFF_SIGNATURE_LENGTH, sig);
    Put32(b, r + CSP_OFF_IN_USE, inUse);
    memcpy(&b[r + CSP_OFF_NAME], name, strlen(name));
}

TEST(CertTree, OnlyWholeRecordsOfAShortBlockAreRead)
{
    std::vector<uint8_t> block(CSP_CTRL_SIZE, 0);
    Slot(block, 0, 1, 900, 0, 1, "first");
    Slot(block, 1, 2, 0, 800, 1, "second");
    std::vector<CertTreeEntry> all = BuildCertTree(block.data(), block.size());
    ASSERT_EQ(2u, all.size());
    std::vector<CertTreeEntry> cut = BuildCertTree(block.data(), 2 * CSP_RECORD_STRIDE - 1);
    ASSERT_EQ(1u, cut.size());
    EXPECT_EQ("first", cut[0].containerName);
    EXPECT_TRUE(BuildCertTree(NULL, 0).empty());
}

TEST(CertTree, AnUnterminatedNameNamesNoContainer)
{
    std::vector<uint8_t> block(CSP_CTRL_SIZE, 0);
    Slot(block, 0, 3, 900, 900, 1, "");
    memset(&block[CSP_OFF_NAME], 'N', CSP_RECORD_STRIDE - CSP_OFF_NAME);
    std::vector<CertTreeEntry> e = BuildCertTree(block.data(), block.size());
    ASSERT_EQ(2u, e.size());
    EXPECT_EQ("", e[0].containerName);
    EXPECT_EQ(CERT_NODE_CONTAINER | 0u, e[0].containerData);
}

TEST(CertDetailsText, ContainerListsItsChildren)
{
    EXPECT_EQ("(box)\r\n  one\r\n  two", ContainerDetails("(", "box", ")", {"one", "two"}));
    EXPECT_EQ("(box)", ContainerDetails("(", "box", ")", {}));
}

} // namespace
