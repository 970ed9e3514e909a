#include "keymgr/pages/deviceinfo/DeviceInfoRules.h"

#include <gtest/gtest.h>

namespace {

DeviceInfoTexts Texts()
{
    DeviceInfoTexts t;
    t.formatCaption = "CAPTION";
    t.otherApp = "OTHER";
    t.contactFirst = "CONTACT";
    t.refresh = "REFRESH";
    t.byteUnit = "字节";
    t.type1 = "-1000";
    t.type2 = "-2000";
    t.type3 = "-3000";
    t.unknownType = "UNKNOWN";
    t.hwName = "KEY";
    return t;
}

DeviceInfoRecord Token()
{
    DeviceInfoRecord r;
    r.tokenCount = 1;
    r.appState = 1;
    r.label = "MyKey";
    r.serial = "SERIAL";
    r.freeSize = 1000;
    r.totalSize = 65536;
    r.devType = 1;
    return r;
}

} // namespace

TEST(DeviceInfo, NoTokenShowsNothingAndDisablesTheLabelChange)
{
    DeviceInfoRecord r = Token();
    r.tokenCount = 0;
    DeviceInfoView v = ComposeDeviceInfo(r, Texts());
    EXPECT_EQ("CAPTION", v.caption);
    EXPECT_FALSE(v.changeLabelEnabled);
    EXPECT_EQ("", v.label);
    EXPECT_EQ("", v.freeText + v.serialText + v.typeText + v.totalText);
}

TEST(DeviceInfo, StateWordsShowTheirTexts)
{
    struct {
        uint32_t state;
        const char *caption;
        bool enabled;
    } rows[] = {{0, "OTHER", false}, {0x80000000u, "CONTACT", false}, {0x40000000u, "REFRESH", false},
                {1, "CAPTION", true},  {4, "CAPTION", true},            {5, "CAPTION", true}};
    for (const auto &row : rows) {
        DeviceInfoRecord r = Token();
        r.appState = row.state;
        DeviceInfoView v = ComposeDeviceInfo(r, Texts());
        EXPECT_EQ(row.caption, v.caption) << row.state;
        EXPECT_EQ(row.enabled, v.changeLabelEnabled) << row.state;
        EXPECT_EQ(row.enabled ? "MyKey" : "", v.label) << row.state;
    }
}

TEST(DeviceInfo, SizesCarryTheUnitAndZeroIsEmpty)
{
    DeviceInfoRecord r = Token();
    r.freeSize = 0;
    DeviceInfoView v = ComposeDeviceInfo(r, Texts());
    EXPECT_EQ("65536 字节", v.totalText);
    EXPECT_EQ("", v.freeText);
}

TEST(DeviceInfo, TypeTexts)
{
    const char *expected[] = {"", "KEY-1000", "KEY-2000", "KEY-3000", "UNKNOWN", ""};
    for (uint32_t type = 0; type <= 5; ++type) {
        DeviceInfoRecord r = Token();
        r.devType = type;
        EXPECT_EQ(expected[type], ComposeDeviceInfo(r, Texts()).typeText) << type;
    }
}

TEST(DeviceInfo, CustomerIdUpToSixtyTwoBytesReplacesTheSerial)
{
    DeviceInfoRecord r = Token();
    r.customerId = std::string(62, 'C');
    EXPECT_EQ(std::string(62, 'C'), ComposeDeviceInfo(r, Texts()).serialText);
    r.customerId = std::string(63, 'C');
    EXPECT_EQ("SERIAL", ComposeDeviceInfo(r, Texts()).serialText);
    r.customerId = "";
    EXPECT_EQ("SERIAL", ComposeDeviceInfo(r, Texts()).serialText);
}

TEST(LabelDialog, OkNeedsALabelOfOneToThirtyTwoBytesAndAPinWithinLimits)
{
    std::string label32(32, 'L');
    EXPECT_TRUE(LabelDialogOkAllowed(label32.c_str(), "123456", 6, 8));
    EXPECT_FALSE(LabelDialogOkAllowed((label32 + "L").c_str(), "123456", 6, 8));
    EXPECT_FALSE(LabelDialogOkAllowed("", "123456", 6, 8));
    // 16 Chinese characters are 32 bytes; one more is 34.
    std::string chinese;
    for (int i = 0; i < 16; ++i)
        chinese += "\xD6\xD0";
    EXPECT_TRUE(LabelDialogOkAllowed(chinese.c_str(), "123456", 6, 8));
    EXPECT_FALSE(LabelDialogOkAllowed((chinese + "A").c_str(), "123456", 6, 8));
    EXPECT_FALSE(LabelDialogOkAllowed("L", "12345", 6, 8));
    EXPECT_FALSE(LabelDialogOkAllowed("L", "123456789", 6, 8));
    EXPECT_TRUE(LabelDialogOkAllowed("L", "12345678", 6, 8));
    // Limits that could not be read (both 0) let no PIN through, not an empty one.
    EXPECT_FALSE(LabelDialogOkAllowed("L", "", 0, 0));
    EXPECT_FALSE(LabelDialogOkAllowed("L", "", 0, 8));
}

TEST(LabelChange, MessagesForEachResult)
{
    LabelChangeTexts t;
    t.revise = "修改";
    t.name = "名字";
    t.success = "成功！";
    t.fail = "失败！";
    t.pinError = "用户口令错误！";
    t.retryNum = "剩余密码错误次数：";
    t.toContactor = "请联系";
    t.hwName = "KEY";

    LabelChangeMessage ok = ComposeLabelChangeMessage(0, 0, t);
    EXPECT_EQ("修改 KEY 名字 成功！", ok.text);
    EXPECT_FALSE(ok.exclamation);

    LabelChangeMessage wrong = ComposeLabelChangeMessage(0x8800003Du, 4, t);
    EXPECT_EQ("用户口令错误！\n剩余密码错误次数：4", wrong.text);
    EXPECT_TRUE(wrong.exclamation);

    EXPECT_EQ("用户口令错误！ KEY 请联系", ComposeLabelChangeMessage(0x8800003Eu, 0, t).text);
    EXPECT_EQ("修改 KEY 名字 失败！", ComposeLabelChangeMessage(0x88000001u, 0, t).text);
}
