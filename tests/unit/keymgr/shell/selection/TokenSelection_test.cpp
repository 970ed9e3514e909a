#include "keymgr/shell/defaultpin/DefaultPinTries.h"
#include "keymgr/shell/selection/TokenSelection.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/ReaderSlots.h"
#include "tests/unit/keymgr/FakeTokenLibrary.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

TEST(DeviceList, ListsPresentTokensOnly)
{
    FakeTokenLibrary lib;
    lib.Add("R0");
    lib.Add("R1").present = false;
    lib.Add("R2");
    std::vector<std::string> listed;
    EXPECT_EQ(0u, ListPresentTokens(ListOf(lib), listed));
    EXPECT_EQ((std::vector<std::string>{"R0", "R2"}), listed);
}

TEST(DeviceList, TenTokensThenAnyReaderStopsWithTooMany)
{
    FakeTokenLibrary lib;
    for (int i = 0; i < 10; ++i)
        lib.Add("R" + std::to_string(i));
    lib.Add("empty").present = false; // absent, yet still one reader too many
    std::vector<std::string> listed;
    EXPECT_EQ(0x88000008u, ListPresentTokens(ListOf(lib), listed));
    EXPECT_EQ(10u, listed.size());

    FakeTokenLibrary exact;
    for (int i = 0; i < 10; ++i)
        exact.Add("R" + std::to_string(i));
    EXPECT_EQ(0u, ListPresentTokens(ListOf(exact), listed));
}

TEST(DeviceList, StateFailureStopsWithItsCode)
{
    FakeTokenLibrary lib;
    lib.Add("R0");
    lib.Add("R1").stateResult = 0x8800002A;
    lib.Add("R2");
    std::vector<std::string> listed;
    EXPECT_EQ(0x8800002Au, ListPresentTokens(ListOf(lib), listed));
    EXPECT_EQ(0, lib.Count("QKGetDevState R2"));
}

TEST(DeviceList, PinCodeCheckHidesForeignTokensAndRecordsVerifiedOnes)
{
    VerifiedReaders().Reset();
    FakeTokenLibrary lib;
    lib.pinCodeCheck = true;
    lib.Add("mine");
    lib.Add("foreign").pinCodeMatches = false;
    std::vector<std::string> listed;
    EXPECT_EQ(0u, ListPresentTokens(ListOf(lib), listed));
    EXPECT_EQ(std::vector<std::string>{"mine"}, listed);
    ReaderSlot found;
    ASSERT_TRUE(VerifiedReaders().Find("mine", &found));
    EXPECT_EQ(1u, found.verified);
    EXPECT_FALSE(VerifiedReaders().Find("foreign", &found));
}

TEST(Selection, ReadsEveryPropertyAndKeepsThePreviousState)
{
    FakeTokenLibrary lib;
    FakeToken &t = lib.Add("R0");
    t.appState = 5;
    SelAppState = 4;
    EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0"));
    EXPECT_STREQ("R0", SelReader);
    EXPECT_EQ(4u, SelPrevAppState);
    EXPECT_EQ(5u, SelAppState);
    EXPECT_STREQ("LABEL", SelLabel);
    EXPECT_EQ(1, lib.Count("OC_ReadLabel 34"));
    EXPECT_STREQ("1234567890ABCDEFG", SelSerial); // 17 bytes, terminated by us
    EXPECT_EQ(6u, SelUserPinRetries);
    EXPECT_EQ(1000u, SelFreeSize);
    EXPECT_EQ(4000u, SelTotalSize);
    EXPECT_EQ(1u, SelDevType);
}

TEST(Selection, FallBacksForUnreadableProperties)
{
    FakeTokenLibrary lib;
    FakeToken &t = lib.Add("R0");
    t.appStateResult = 1;
    t.serialResult = t.sizeResult = t.typeResult = t.retriesResult = 1;
    strcpy(SelLabel, "stale");
    ReadSelectedToken("R0");
    EXPECT_EQ(0x40000000u, SelAppState);
    EXPECT_STREQ("", SelLabel); // no label of another token
    EXPECT_EQ(0, lib.Count("OC_ReadLabel 34"));
    EXPECT_EQ(std::string(20, '\0'), std::string(SelSerial, 20));
    EXPECT_EQ(0u, SelUserPinRetries);
    EXPECT_EQ(0u, SelFreeSize);
    EXPECT_EQ(4u, SelDevType);
}

TEST(Selection, LabelFailureMarksTheRefreshStateAndTotalBelowFreeIsZero)
{
    FakeTokenLibrary lib;
    FakeToken &t = lib.Add("R0");
    t.labelResult = 1;
    t.freeSize = 5000;
    t.totalSize = 4000;
    ReadSelectedToken("R0");
    EXPECT_EQ(0x40000000u, SelAppState);
    EXPECT_EQ(0u, SelTotalSize);
    EXPECT_EQ(5000u, SelFreeSize);
}

TEST(Selection, DefaultPinIsVerifiedWhenTheModeAsksOncePerInsertion)
{
    FakeTokenLibrary lib;
    lib.Add("R0").pinTag = 0; // the PIN never changed
    PendingDefaultPinTries().Arm("R0");
    ReadSelectedToken("R0");
    EXPECT_EQ(0, lib.Count("OC_VerifyUserPin 123456"));
    lib.pinModeEx = 1;
    PendingDefaultPinTries().Arm("R0");
    EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0"));
    EXPECT_EQ(1, lib.Count("OC_VerifyUserPin 123456"));
    lib.verifyResult = 0x8800003D;
    EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0")) << "the same insertion: no second try";
    EXPECT_EQ(1, lib.Count("OC_VerifyUserPin 123456"));
    PendingDefaultPinTries().Arm("R0");
    EXPECT_EQ(SELECTION_DEFAULT_PIN_REFUSED, ReadSelectedToken("R0"));
    EXPECT_EQ(1000u, SelFreeSize); // properties are read all the same
    lib.tokens["R0"].retries = 1;
    PendingDefaultPinTries().Arm("R0");
    EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0")) << "one try left: not tried";
    EXPECT_EQ(2, lib.Count("OC_VerifyUserPin 123456"));

    // A tag that says the PIN was changed: never tried, whatever the tries.
    lib.tokens["R0"].retries = 6;
    for (uint8_t changed : {(uint8_t)1, (uint8_t)'1'}) {
        lib.tokens["R0"].pinTag = changed;
        PendingDefaultPinTries().Arm("R0");
        EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0"));
    }
    EXPECT_EQ(2, lib.Count("OC_VerifyUserPin 123456"));
    lib.tokens["R0"].readTagResult = 0x88000037; // no tag file yet: a default PIN
    PendingDefaultPinTries().Arm("R0");
    ReadSelectedToken("R0");
    EXPECT_EQ(3, lib.Count("OC_VerifyUserPin 123456"));
}
