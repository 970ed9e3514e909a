#include "keymgr/INI/language/LanguageItem.h"
#include "keymgr/shell/StartupNames.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(LanguageItem, FormatsFourUpperCaseHexDigits)
{
    char item[LANGUAGE_ITEM_SIZE];
    FormatLanguageItem(0x0804, item);
    EXPECT_STREQ("0804", item);
    FormatLanguageItem(0x040c, item);
    EXPECT_STREQ("040C", item);
    FormatLanguageItem(0x7, item);
    EXPECT_STREQ("0007", item);
}

TEST(LanguageItem, ChangeOnlyWhenItemsDiffer)
{
    EXPECT_FALSE(LanguageItemNeedsChange("0804", "0804"));
    EXPECT_TRUE(LanguageItemNeedsChange("0804", "0409"));
    EXPECT_TRUE(LanguageItemNeedsChange("0804", ""));
    EXPECT_TRUE(LanguageItemNeedsChange("0804", nullptr));
}

namespace {
int LongName(char *buffer)
{
    // A library that ignores the 64-byte contract.
    memset(buffer, 'N', 200);
    buffer[200] = '\0';
    return 0;
}
int FailingName(char *buffer)
{
    strcpy(buffer, "garbage");
    return 5;
}
int GoodName(char *buffer)
{
    strcpy(buffer, "朔岩USBKey");
    return 0;
}
} // namespace

TEST(StartupNames, NamesAreBoundedTerminatedAndClearedOnFailure)
{
    ReadStartupName(UserTitle, LongName);
    EXPECT_EQ(NAME_BUFFER_SIZE - 1u, strlen(UserTitle));
    ReadStartupName(UserTitle, FailingName);
    EXPECT_STREQ("", UserTitle);
    ReadStartupName(HWName, GoodName);
    EXPECT_STREQ("朔岩USBKey", HWName);
}
