#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/notice/HandedPointers.h"
#include "keymgr/shell/notice/NoticeText.h"
#include "tests/unit/keymgr/FakeTokenLibrary.h"

#include <gtest/gtest.h>

#include <string>

TEST(HandedPointers, OnlyRecordsHandedOutAreTakenAndOnlyOnce)
{
    HandedPointers records;
    int a = 0, b = 0;
    records.Hand(&a);
    EXPECT_FALSE(records.Take(&b)); // forged
    EXPECT_FALSE(records.Take(nullptr));
    EXPECT_TRUE(records.Take(&a));
    EXPECT_FALSE(records.Take(&a)); // posted twice
    EXPECT_EQ(0u, records.Outstanding());
}

TEST(NoticeText, InsertionAndRemovalAreComposedAndCertificateTextIsCarried)
{
    FakeTokenLibrary lib;
    lib.texts["MainFrm/IDS_WITHIN"] = "in";
    lib.texts["MainFrm/IDS_INSERTED"] = "inserted";
    lib.texts["MainFrm/IDS_REMOVED"] = "removed";
    char text[64];
    EXPECT_EQ(NOTICE_SHOW, ComposeNoticeText(NOTICE_INSERTED, "R0", "ignored", text, sizeof(text)));
    EXPECT_EQ(std::string("R0 in ") + HWName + " inserted", text);
    EXPECT_EQ(NOTICE_SHOW, ComposeNoticeText(NOTICE_REMOVED, "R0", "", text, sizeof(text)));
    EXPECT_EQ(std::string(HWName) + " removed", text);
    EXPECT_EQ(NOTICE_CHECK_EXPIRY, ComposeNoticeText(NOTICE_CERTIFICATE, "R0", "CERTS", text, sizeof(text)));
    EXPECT_STREQ("CERTS", text);
    EXPECT_EQ(NOTICE_NOTHING, ComposeNoticeText(NOTICE_CERTIFICATE, "R0", "", text, sizeof(text)));
    // Only the kinds the watch posts; a forged word with a kind in its low half too.
    EXPECT_EQ(NOTICE_REFUSED, ComposeNoticeText(0, "R0", "x", text, sizeof(text)));
    EXPECT_EQ(NOTICE_REFUSED, ComposeNoticeText(4, "R0", "x", text, sizeof(text)));
    if (sizeof(size_t) > 4) {
        size_t forged = (static_cast<size_t>(1) << 32) | NOTICE_INSERTED;
        EXPECT_EQ(NOTICE_REFUSED, ComposeNoticeText(forged, "R0", "x", text, sizeof(text)));
    }
}
