#include "keymgr/pages/deviceinfo/CustomerId.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/view/PageRules.h"
#include "keymgr/shell/view/SheetSize.h"
#include "tests/unit/keymgr/FakeTokenLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

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
