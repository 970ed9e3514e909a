#include "sim/core/CallLogLine.h"
#include "sim/core/SimKeys.h"

#include <gtest/gtest.h>

TEST(CallLogLine, FormatsEveryArgumentKind)
{
    uint32_t length = 255;
    const uint8_t data[2] = {0x01, 0xAB};
    CallLogLine line("OC_ReadFile");
    line.Number(0).Text("ZV Reader 0").Text(NULL).Number(-3).Pointer(&length, "buf").InValue(&length).InValue(NULL)
        .Pointer(NULL, "out").Data(data, 2).Data(NULL, 0).Text("a\tb\nc");
    EXPECT_EQ("OC_ReadFile\t0\tZV Reader 0\tNULL\t-3\tbuf\t255\tNULL\tNULL\t01AB\tNULL\ta\\tb\\nc\t=> 0x88000037\n",
              line.Finish(0x88000037u));
    CallLogLine none("ZVClearCachedCSP");
    EXPECT_EQ("ZVClearCachedCSP\t=> 0x0\n", none.Finish(0));
}

TEST(CallLogLine, LongDataAndTextAreCut)
{
    std::vector<uint8_t> data(100, 0xFF);
    CallLogLine line("X");
    line.Data(data.data(), 100);
    std::string text = line.Finish(0);
    EXPECT_EQ(std::string("X\t") + std::string(128, 'F') + "...\t=> 0x0\n", text);
    std::string big(10000, 'a');
    CallLogLine t("Y");
    t.Text(big.c_str());
    EXPECT_EQ(2 + 4096 + 8u, t.Finish(0).size());
}

TEST(SimKeys, ConfigValuesAreRangeChecked)
{
    SimConfig c = DefaultConfig();
    std::string error;
    EXPECT_FALSE(SetConfigKey(c, "MinPinLen", "-1", &error));
    EXPECT_NE(std::string::npos, error.find("MinPinLen"));
    EXPECT_FALSE(SetConfigKey(c, "MaxPinLen", "129", &error));
    EXPECT_FALSE(SetConfigKey(c, "RegCertInfoLen", "0x200000", &error));
    EXPECT_FALSE(SetConfigKey(c, "PCodeCheck", "maybe", &error));
    EXPECT_FALSE(SetConfigKey(c, "delay.QKListReaders", "600001", &error));
    EXPECT_FALSE(SetConfigKey(c, "fail.", "1", &error));
    EXPECT_FALSE(SetConfigKey(c, "fail.X", "0x1234567890", &error));
    EXPECT_EQ(6, c.minPinLen);
    EXPECT_TRUE(c.fail.empty());
    EXPECT_TRUE(SetConfigKey(c, "mINpINlEN", "4", &error)); // keys ignore case
    EXPECT_EQ(4, c.minPinLen);
    EXPECT_TRUE(SetConfigKey(c, "CertExpiredDays", "-5", &error));
    EXPECT_EQ(-5, c.certExpiredDays);
    EXPECT_TRUE(SetConfigKey(c, "PCodeCheck", "yes", &error));
    EXPECT_TRUE(c.pcodeCheck);
    EXPECT_TRUE(SetConfigKey(c, "fail.OC_GetHWApp", "2281701377", &error));
    EXPECT_EQ("0x88000001", c.fail["OC_GetHWApp"]);
    uint32_t v;
    EXPECT_TRUE(ParseNumber("0x8800003D", &v));
    EXPECT_EQ(0x8800003Du, v);
    EXPECT_FALSE(ParseNumber("-1", &v));
    EXPECT_FALSE(ParseNumber("12abc", &v));
    EXPECT_FALSE(ParseNumber("", &v));
}

TEST(SimKeys, ReaderValuesAreCheckedAndBounded)
{
    Reader r = DefaultReader(DefaultConfig(), 0, 0);
    std::string error;
    EXPECT_FALSE(SetReaderKey(r, "name", "", 0, &error));
    EXPECT_FALSE(SetReaderKey(r, "retries", "256", 0, &error));
    EXPECT_FALSE(SetReaderKey(r, "pintag", "0", 0, &error));
    EXPECT_FALSE(SetReaderKey(r, "pintag", std::string(522, '0'), 0, &error));
    EXPECT_FALSE(SetReaderKey(r, "c0.sig.serial", "xyz", 0, &error));
    EXPECT_FALSE(SetReaderKey(r, "c0.bogus", "1", 0, &error));
    EXPECT_FALSE(SetReaderKey(r, "present", "2", 0, &error));
    EXPECT_TRUE(SetReaderKey(r, "appstate", "0x80000000", 0, &error));
    EXPECT_EQ(0x80000000u, r.appState);
    EXPECT_TRUE(SetReaderKey(r, "pintag", "", 0, &error));
    EXPECT_TRUE(r.pinTagPresent);
    EXPECT_TRUE(r.pinTag.empty());
    EXPECT_TRUE(SetReaderKey(r, "pin", std::string(200, '1'), 0, &error));
    EXPECT_EQ((size_t)SIM_MAX_PIN, r.userPin.size());
    EXPECT_TRUE(SetReaderKey(r, "c0.sig", "none", 0, &error));
    EXPECT_EQ(CERT_NONE, r.containers[0].signature.kind);
    EXPECT_EQ(2u, r.containers[0].keyFlags); // the key stays
}
