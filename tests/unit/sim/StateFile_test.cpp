#include "sim/core/SimKeys.h"
#include "sim/core/StateFile.h"

#include <gtest/gtest.h>

static const int64_t kNow = 1796000000; // 2026-11-30

static SimState Sample()
{
    SimState s = FreshState(2, kNow);
    s.readers[1].present = true;
    s.readers[1].label = "带\\反斜杠\n换行";
    s.readers[1].pinTagPresent = false;
    s.readers[1].containers[2].inUse = false;
    s.readers[1].containers[2].keyFlags = 3;
    s.readers[1].containers[2].exchange.kind = CERT_GARBAGE;
    s.readers[1].fail["OC_ReadCSPCtrl"] = "0x88000001";
    s.config.delay["QKListReaders"] = "500";
    s.config.userTitle = "标题";
    return s;
}

TEST(StateFile, RoundTripKeepsEveryKey)
{
    SimState s = Sample();
    std::string text = WriteStateText(s);
    SimState back = ParseStateText(text, kNow + 1000);
    EXPECT_TRUE(back.warnings.empty()) << back.warnings[0];
    ASSERT_EQ(2u, back.readers.size());
    EXPECT_EQ(ConfigKeyValues(s.config), ConfigKeyValues(back.config));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ReaderKeyValues(s.readers[i]), ReaderKeyValues(back.readers[i]));
    // Explicit in-use 0 survives although the slot has certificates.
    EXPECT_FALSE(back.readers[1].containers[2].inUse);
    EXPECT_EQ(text, WriteStateText(back));
}

TEST(StateFile, EmptyOrGarbageGivesDefaultsWithAWarning)
{
    SimState empty = ParseStateText("", kNow);
    ASSERT_EQ(1u, empty.readers.size());
    EXPECT_FALSE(empty.readers[0].present);
    EXPECT_TRUE(empty.warnings.empty());

    std::string garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += (char)((i * 7919) % 256);
    SimState g = ParseStateText(garbage, kNow);
    ASSERT_EQ(1u, g.readers.size());
    EXPECT_FALSE(g.warnings.empty());
    EXPECT_EQ(DefaultConfig().userTitle, g.config.userTitle);
}

TEST(StateFile, EveryTruncationParsesAndIsFlagged)
{
    std::string text = WriteStateText(Sample());
    // (A cut after the whole "[end]" loses nothing.)
    size_t end = text.rfind("[end]");
    for (size_t cut = 1; cut < end + 5; cut += 3) {
        SimState s = ParseStateText(text.substr(0, cut), kNow);
        ASSERT_FALSE(s.warnings.empty()) << "cut at " << cut;
        ASSERT_LE(s.readers.size(), 2u);
        for (const Reader &r : s.readers)
            ASSERT_FALSE(r.name.empty());
    }
}

TEST(StateFile, BadValuesKeepDefaultsAndAreReported)
{
    std::string text = "[config]\nMinPinLen=abc\nNoSuchKey=1\n[reader0]\nretries=999\nlabel=ok\nnot a line\n"
                       "[bogus]\nx=1\n[end]\n";
    SimState s = ParseStateText(text, kNow);
    EXPECT_EQ(6, s.config.minPinLen);
    ASSERT_EQ(1u, s.readers.size());
    EXPECT_EQ(6u, s.readers[0].retries);
    EXPECT_EQ("ok", s.readers[0].label);
    EXPECT_EQ(5u, s.warnings.size());
}

TEST(StateFile, LongValuesAreBounded)
{
    std::string big(100000, 'x');
    std::string text = "[config]\nUserTitle=" + big + "\n[reader0]\nname=" + big + "\nlabel=" + big +
                       "\nserial=" + big + "\ncid=" + big + "\nc0.name=" + big + "\n[end]\n";
    SimState s = ParseStateText(text, kNow);
    EXPECT_EQ(DefaultConfig().userTitle, s.config.userTitle); // a line of 100 KB is ignored
    EXPECT_EQ(6u, s.warnings.size());
    text = "[config]\nUserTitle=" + big.substr(0, 5000) + "\n[reader0]\nlabel=" + big.substr(0, 5000) +
           "\nserial=" + big.substr(0, 5000) + "\ncid=" + big.substr(0, 5000) + "\n[end]\n";
    s = ParseStateText(text, kNow);
    EXPECT_EQ((size_t)SIM_MAX_TITLE, s.config.userTitle.size());
    EXPECT_EQ((size_t)SIM_MAX_LABEL, s.readers[0].label.size());
    EXPECT_EQ((size_t)SIM_SERIAL_BYTES, s.readers[0].serial.size());
    EXPECT_EQ((size_t)SIM_MAX_CID, s.readers[0].customerId.size());
}

TEST(StateFile, GbkCutNeverSplitsACharacter)
{
    std::string gbk;
    for (int i = 0; i < 40; ++i)
        gbk += "\xD6\xD0"; // 80 bytes
    Reader r;
    ASSERT_TRUE(SetReaderKey(r, "label", "a" + gbk, kNow, NULL));
    EXPECT_EQ(31u, r.label.size()); // "a" + 15 characters
}

TEST(StateFile, EscapesRoundTripAnyByte)
{
    std::string all;
    for (int i = 1; i < 256; ++i)
        all += (char)i;
    std::string esc = EscapeValue(all);
    EXPECT_EQ(std::string::npos, esc.find('\n'));
    EXPECT_EQ(std::string::npos, esc.find('\r'));
    EXPECT_EQ(all, UnescapeValue(esc));
}

TEST(StateFile, RandomDamageNeverBreaksTheModel)
{
    std::string text = WriteStateText(Sample());
    uint32_t x = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = text;
        for (int k = 0; k < 8; ++k) {
            x = x * 1103515245u + 12345u;
            damaged[(x >> 8) % damaged.size()] = (char)(x >> 24);
        }
        SimState s = ParseStateText(damaged, kNow);
        ASSERT_LE(s.readers.size(), (size_t)SIM_MAX_READERS);
        for (const Reader &r : s.readers) {
            ASSERT_LE(r.name.size(), (size_t)SIM_MAX_READER);
            ASSERT_LE(r.label.size(), (size_t)SIM_MAX_LABEL);
            ASSERT_LE(r.pinTag.size(), (size_t)SIM_MAX_FILE);
        }
        // Whatever was read writes back to a text that reads the same.
        std::string again = WriteStateText(s);
        ASSERT_EQ(again, WriteStateText(ParseStateText(again, kNow)));
    }
}
