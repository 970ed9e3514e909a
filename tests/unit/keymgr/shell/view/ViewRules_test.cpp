#include "keymgr/pages/deviceinfo/CustomerId.h"
#include "keymgr/shell/defaultpin/DefaultPinCheck.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/ReaderSlots.h"
#include "keymgr/shell/token/TokenSelection.h"
#include "keymgr/shell/view/PageRules.h"
#include "keymgr/shell/view/SheetSize.h"
#include "tests/unit/keymgr/FakeTokenLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

ReaderList ListOf(FakeTokenLibrary &lib)
{
    std::string multi = lib.MultiString();
    ReaderList list;
    list.Assign(multi.data(), multi.size(), static_cast<uint32_t>(lib.readerOrder.size()));
    return list;
}

// The sheet as the rules see it, recording what they do.
class FakeSheet : public ISheetPages {
public:
    std::vector<SheetPage> pages{SHEET_PAGE_DEVICE_INFO};
    int active = 0;
    bool infoWindow = true;
    std::vector<std::string> ops;

    int PageCount() const override { return static_cast<int>(pages.size()); }
    int ActiveTab() const override { return active; }
    bool DeviceInfoWindowExists() const override { return infoWindow; }
    void ActivateTab(int tab) override
    {
        ops.push_back("activate " + std::to_string(tab));
        active = tab;
    }
    void AddPage(SheetPage page) override
    {
        ops.push_back(page == SHEET_PAGE_PIN ? "add pin" : "add cert");
        pages.push_back(page);
    }
    void RemovePage(SheetPage page) override
    {
        ops.push_back(page == SHEET_PAGE_PIN ? "remove pin" : "remove cert");
        pages.erase(std::remove(pages.begin(), pages.end(), page), pages.end());
    }
    void RemovePageAt(int index) override
    {
        ops.push_back("remove at " + std::to_string(index));
        pages.erase(pages.begin() + index);
    }
};

} // namespace

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
    PendingDefaultPinChecks().Arm("R0");
    ReadSelectedToken("R0");
    EXPECT_EQ(0, lib.Count("OC_VerifyUserPin 123456"));
    lib.pinModeEx = 1;
    PendingDefaultPinChecks().Arm("R0");
    EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0"));
    EXPECT_EQ(1, lib.Count("OC_VerifyUserPin 123456"));
    lib.verifyResult = 0x8800003D;
    EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0")) << "the same insertion: no second try";
    EXPECT_EQ(1, lib.Count("OC_VerifyUserPin 123456"));
    PendingDefaultPinChecks().Arm("R0");
    EXPECT_EQ(SELECTION_DEFAULT_PIN_REFUSED, ReadSelectedToken("R0"));
    EXPECT_EQ(1000u, SelFreeSize); // properties are read all the same
    lib.tokens["R0"].retries = 1;
    PendingDefaultPinChecks().Arm("R0");
    EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0")) << "one try left: not tried";
    EXPECT_EQ(2, lib.Count("OC_VerifyUserPin 123456"));

    // A tag that says the PIN was changed: never tried, whatever the tries.
    lib.tokens["R0"].retries = 6;
    for (uint8_t changed : {(uint8_t)1, (uint8_t)'1'}) {
        lib.tokens["R0"].pinTag = changed;
        PendingDefaultPinChecks().Arm("R0");
        EXPECT_EQ(SELECTION_READ, ReadSelectedToken("R0"));
    }
    EXPECT_EQ(2, lib.Count("OC_VerifyUserPin 123456"));
    lib.tokens["R0"].readTagResult = 0x88000037; // no tag file yet: a default PIN
    PendingDefaultPinChecks().Arm("R0");
    ReadSelectedToken("R0");
    EXPECT_EQ(3, lib.Count("OC_VerifyUserPin 123456"));
}

TEST(PageRules, UnreadableStateShowsOnlyTheInformationPage)
{
    FakeSheet sheet;
    ApplyPageRules(sheet, true, 0x40000000u, 0, 0);
    EXPECT_EQ(1, sheet.PageCount());
    EXPECT_TRUE(sheet.ops.empty());
}

TEST(PageRules, UserAppTokenGetsPinAndCertificatePages)
{
    FakeSheet sheet;
    ApplyPageRules(sheet, true, 1, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"add pin", "add cert", "activate 0"}), sheet.ops);
}

TEST(PageRules, StateOneAfterStateFourAddsCertificatesAndKeepsPin)
{
    FakeSheet sheet;
    ApplyPageRules(sheet, true, 4, 0x40000000u, 0);
    EXPECT_EQ((std::vector<SheetPage>{SHEET_PAGE_DEVICE_INFO, SHEET_PAGE_PIN}), sheet.pages);
    sheet.ops.clear();
    ApplyPageRules(sheet, true, 1, 4, 1);
    EXPECT_EQ((std::vector<std::string>{"add cert", "activate 1"}), sheet.ops);
    EXPECT_EQ(3, sheet.PageCount());
}

TEST(PageRules, StateFourAfterStateOneDropsCertificatesAndFallsBackFromAGoneTab)
{
    FakeSheet sheet;
    ApplyPageRules(sheet, true, 1, 0, 0);
    sheet.active = 2;
    sheet.ops.clear();
    ApplyPageRules(sheet, true, 4, 1, 2);
    EXPECT_EQ((std::vector<std::string>{"remove cert", "activate 0"}), sheet.ops);
}

TEST(PageRules, TokenWithoutMaskFiveLeavesOnePage)
{
    FakeSheet sheet;
    ApplyPageRules(sheet, true, 1, 0, 0);
    sheet.active = 1;
    sheet.ops.clear();
    ApplyPageRules(sheet, true, 0x80000000u, 1, 1);
    EXPECT_EQ((std::vector<std::string>{"activate 0", "remove at 2", "remove at 1"}), sheet.ops);
    EXPECT_EQ(1, sheet.PageCount());
    sheet.ops.clear();
    ApplyPageRules(sheet, true, 0, 0x80000000u, 0); // one page: nothing to do
    EXPECT_TRUE(sheet.ops.empty());
}

TEST(PageRules, NoTokenRemovesWhatThePreviousStateHad)
{
    FakeSheet sheet;
    ApplyPageRules(sheet, true, 1, 0, 0);
    sheet.active = 2;
    sheet.ops.clear();
    ApplyPageRules(sheet, false, 0x40000000u, 1, 2);
    EXPECT_EQ((std::vector<std::string>{"activate 0", "remove cert", "remove pin"}), sheet.ops);

    FakeSheet noWindow;
    noWindow.infoWindow = false;
    noWindow.active = 1;
    noWindow.pages.push_back(SHEET_PAGE_PIN);
    ApplyPageRules(noWindow, false, 0x40000000u, 4, 1);
    EXPECT_EQ((std::vector<std::string>{"remove pin"}), noWindow.ops);
}

TEST(PageRules, TheInformationPageIsNeverRemoved)
{
    FakeSheet sheet; // the previous state claims pages the sheet lacks
    ApplyPageRules(sheet, false, 0x40000000u, 5, 0);
    EXPECT_TRUE(sheet.ops.empty());
    EXPECT_EQ(1, sheet.PageCount());
}

TEST(PageRules, MaskFiveThroughBitTwoKeepsTheCertificatePageAway)
{
    FakeSheet sheet;
    ApplyPageRules(sheet, true, 4, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"add pin", "activate 0"}), sheet.ops);
}

TEST(SheetSize, GrowsToTheLargestPageInEachDirection)
{
    PixelSize grow = SheetGrowth({390, 225}, {{390, 225}, {420, 200}, {380, 255}});
    EXPECT_EQ(30, grow.width);
    EXPECT_EQ(30, grow.height) << "the widest and the tallest may be different pages";
    grow = SheetGrowth({400, 260}, {{390, 225}, {400, 260}});
    EXPECT_EQ(0, grow.width);
    EXPECT_EQ(0, grow.height) << "a sheet larger than every page keeps its size";
    grow = SheetGrowth({400, 260}, {});
    EXPECT_EQ(0, grow.width + grow.height);
}

TEST(CustomerId, FirstPresentTokenIsAskedWithLengthFourAndReleased)
{
    FakeTokenLibrary lib;
    lib.Add("absent").present = false;
    lib.Add("first").customerId = "CID-1";
    lib.Add("second").customerId = "CID-2";
    char id[CUSTOMER_ID_BUFFER_SIZE];
    ReadCustomerId(id);
    EXPECT_STREQ("CID-1", id);
    EXPECT_EQ(1, lib.Count("HWReadCID 4"));
    EXPECT_EQ(1, lib.Count("QKEndTransaction"));
    EXPECT_EQ(1, lib.Count("QKDisconnectDev"));
    EXPECT_EQ(0, lib.Count("QKConnectDev second"));
}

TEST(CustomerId, NoTokenGivesAnEmptyText)
{
    FakeTokenLibrary lib;
    lib.Add("absent").present = false;
    char id[CUSTOMER_ID_BUFFER_SIZE];
    memset(id, 'x', sizeof(id));
    ReadCustomerId(id);
    EXPECT_STREQ("", id);
}
