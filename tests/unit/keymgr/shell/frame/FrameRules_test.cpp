#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/browser/BrowserClosedPrompt.h"
#include "keymgr/shell/browser/BrowserWatchSchedule.h"
#include "keymgr/shell/defaultpin/PinTagRule.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/ReaderList.h"
#include "keymgr/shell/token/ReaderSlots.h"
#include "tests/unit/keymgr/FakeTokenLibrary.h"

#include <gtest/gtest.h>

#include <string>

TEST(ReaderList, WalksNamesUpToTheReportedCount)
{
    const char multi[] = "A\0BB\0CCC\0";
    ReaderList list;
    list.Assign(multi, sizeof(multi), 2);
    ASSERT_EQ(2u, list.Size());
    EXPECT_STREQ("A", list.Name(0));
    EXPECT_STREQ("BB", list.Name(1));
}

TEST(ReaderList, UnterminatedListEndsAtItsSize)
{
    const char raw[4] = {'A', '\0', 'B', 'C'}; // the library forgot both terminators
    ReaderList list;
    list.Assign(raw, sizeof(raw), 10);
    ASSERT_EQ(2u, list.Size());
    EXPECT_STREQ("BC", list.Name(1));
    list.Assign(nullptr, 100, 3);
    EXPECT_EQ(0u, list.Size());
    EXPECT_EQ('\0', list.MultiString()[0]);
}

TEST(ReaderSlots, StoresOverwritesAndFillsTheFirstFreeEntry)
{
    ReaderSlots slots;
    EXPECT_TRUE(slots.Store("R0", 1));
    EXPECT_TRUE(slots.Store("R1", 1));
    EXPECT_TRUE(slots.Store("R0", 0));
    ReaderSlot found;
    ASSERT_TRUE(slots.Find("R0", &found));
    EXPECT_EQ(0u, found.verified);
    EXPECT_FALSE(slots.Find("R2", &found));
    // A removal takes the flag once: a second one is not counted.
    EXPECT_TRUE(slots.TakeVerified("R1"));
    EXPECT_FALSE(slots.TakeVerified("R1"));
    EXPECT_FALSE(slots.TakeVerified("R0"));
    EXPECT_FALSE(slots.TakeVerified("R2"));
}

TEST(ReaderSlots, FullTableStoresNothingAndShortNamesAreFree)
{
    ReaderSlots slots;
    for (int i = 0; i < READER_SLOT_COUNT; ++i)
        EXPECT_TRUE(slots.Store(("Reader " + std::to_string(i)).c_str(), 1));
    EXPECT_FALSE(slots.Store("Reader X", 1));
    EXPECT_TRUE(slots.Store("Reader 3", 0)); // an existing name is still updated
    ReaderSlot found;
    EXPECT_FALSE(slots.Find("X", &found)); // one-character names never match
}

TEST(ReaderSlots, NamesSharingALongPrefixKeepTheirOwnEntries)
{
    ReaderSlots slots;
    const std::string prefix = "Orvane Virtual Smartcard Reader Interface (WUDF) "; // 49 bytes in common
    const std::string a = prefix + "0", b = prefix + "1";
    EXPECT_TRUE(slots.Store(a.c_str(), 1));
    EXPECT_TRUE(slots.Store(b.c_str(), 1));
    EXPECT_TRUE(slots.Store(a.c_str(), 0)); // a removed
    ReaderSlot found;
    ASSERT_TRUE(slots.Find(b.c_str(), &found));
    EXPECT_EQ(1u, found.verified);
    EXPECT_EQ(b, found.name);
    EXPECT_FALSE(slots.Find(prefix.c_str(), &found));

    std::string longest(255, 'L'), tooLong(256, 'L');
    EXPECT_TRUE(slots.Store(longest.c_str(), 1));
    ASSERT_TRUE(slots.Find(longest.c_str(), &found));
    EXPECT_EQ(longest, found.name);
    EXPECT_FALSE(slots.Store(tooLong.c_str(), 1));
    EXPECT_FALSE(slots.Find(tooLong.c_str(), &found));
}

TEST(PinTag, TagValuesDecideTheReminder)
{
    EXPECT_EQ(PINTAG_NO_REMINDER, DecidePinTag(0, 1));
    EXPECT_EQ(PINTAG_NO_REMINDER, DecidePinTag(0, '1'));
    EXPECT_EQ(PINTAG_REMIND, DecidePinTag(0, 0));
    EXPECT_EQ(PINTAG_REMIND, DecidePinTag(0, '0'));
    EXPECT_EQ(PINTAG_REMIND, DecidePinTag(0, 7));
    EXPECT_EQ(PINTAG_REMIND, DecidePinTag(0x88000001u, 1)); // an error, whatever the buffer holds
    EXPECT_EQ(PINTAG_CREATE_THEN_REMIND, DecidePinTag(0x88000037u, 0));
}

TEST(PinTag, ReminderFollowsTheTokenStateAndMakesAMissingTagFirst)
{
    FakeTokenLibrary lib;
    FakeToken &token = lib.Add("R");
    token.appStateResult = 0x88000001;
    EXPECT_EQ(PIN_REMINDER_NONE, CheckPinReminder("R"));
    EXPECT_EQ(APP_STATE_UNREADABLE, SnapshotCurrentToken().appState);
    token.appStateResult = 0;
    token.appState = 2; // not the user state: no tag is read
    EXPECT_EQ(PIN_REMINDER_NONE, CheckPinReminder("R"));
    EXPECT_EQ(2u, SnapshotCurrentToken().appState);
    EXPECT_EQ(0, lib.Count("OC_ReadFile R"));

    token.appState = 1;
    EXPECT_EQ(PIN_REMINDER_NONE, CheckPinReminder("R")); // tag '1': changed
    token.pinTag = 0;
    EXPECT_EQ(PIN_REMINDER_SHOW, CheckPinReminder("R"));
    EXPECT_EQ(0, lib.Count("OC_CreateFile R 260"));
    token.readTagResult = static_cast<int>(TOK_ERR_NO_FILE);
    EXPECT_EQ(PIN_REMINDER_SHOW, CheckPinReminder("R"));
    EXPECT_EQ(1, lib.Count("OC_CreateFile R 260"));
    token.createTagResult = 0x88000001;
    EXPECT_EQ(PIN_REMINDER_TAG_FAILED, CheckPinReminder("R"));
}

TEST(BrowserWatch, PromptOnceWhenABrowserClosesWithATokenIn)
{
    FakeTokenLibrary lib;
    lib.Add("A").present = false;
    lib.Add("B").present = false;
    BrowserClosedPrompt prompt;
    EXPECT_FALSE(prompt.Due(2));
    EXPECT_FALSE(prompt.Due(1)); // a drop, no token in
    lib.tokens["B"].present = true;
    lib.tokens["A"].stateResult = 0x88000001; // a state that cannot be read ends the tick
    EXPECT_FALSE(prompt.Due(0));
    lib.tokens["A"].stateResult = 0;
    EXPECT_FALSE(prompt.Due(0)); // no new drop
    EXPECT_FALSE(prompt.Due(2));
    EXPECT_TRUE(prompt.Due(1));
    EXPECT_FALSE(prompt.Due(3));
    EXPECT_FALSE(prompt.Due(0)); // once only
}

TEST(BrowserWatch, CountedOnlyWhileAPromptCanFollowAndAfreshAfterAPause)
{
    FakeTokenLibrary lib;
    lib.Add("A");
    BrowserClosedPrompt prompt;
    EXPECT_FALSE(prompt.Watching(false, true));
    EXPECT_FALSE(prompt.Watching(true, false));
    ASSERT_TRUE(prompt.Watching(true, true));
    EXPECT_FALSE(prompt.Due(2));
    EXPECT_FALSE(prompt.Watching(true, false)); // the token went
    ASSERT_TRUE(prompt.Watching(true, true));
    EXPECT_FALSE(prompt.Due(0)); // browsers that ended meanwhile are no drop
    EXPECT_FALSE(prompt.Due(1));
    EXPECT_TRUE(prompt.Due(0));
    EXPECT_FALSE(prompt.Watching(true, true)); // shown: nothing can follow
}

TEST(BrowserWatch, AsksAgainOnlyWhatChanged)
{
    BrowserWatchSchedule watch;
    EXPECT_TRUE(watch.TokensDue(7)); // the first tick asks everything
    EXPECT_FALSE(watch.TokensDue(7));
    EXPECT_TRUE(watch.TokensDue(8));
    EXPECT_FALSE(watch.TokensDue(8));

    // The stamp is looked at on the first tick, then once an interval.
    int looks = 0;
    for (int tick = 0; tick < 3 * BrowserWatchSchedule::StampInterval; ++tick)
        if (watch.StampDue()) {
            EXPECT_EQ(0, tick % BrowserWatchSchedule::StampInterval) << tick;
            ++looks;
        }
    EXPECT_EQ(3, looks);

    SettingStamp absent;
    EXPECT_TRUE(watch.SettingDue(absent)); // never read: read even with no file
    EXPECT_FALSE(watch.SettingDue(absent));
    SettingStamp made;
    made.exists = true;
    made.written = 100;
    made.size = 40;
    EXPECT_TRUE(watch.SettingDue(made));
    EXPECT_FALSE(watch.SettingDue(made));
    SettingStamp rewritten = made;
    rewritten.written = 101; // the same size written again
    EXPECT_TRUE(watch.SettingDue(rewritten));
    SettingStamp grown = rewritten;
    grown.size = 41;
    EXPECT_TRUE(watch.SettingDue(grown));
    EXPECT_TRUE(watch.SettingDue(absent)); // removed
}

#include "keymgr/shell/tray/TrayMenuText.h"

TEST(TrayMenu, OpenItemAndExitQuestionTexts)
{
    char text[64];
    FormatTrayOpenItem("打开", "朔岩USBKey", "管理工具", text, sizeof(text));
    EXPECT_STREQ("打开 朔岩USBKey 管理工具(&O)", text);
    FormatExitQuestion("确定要退出", "朔岩USBKey", text, sizeof(text));
    EXPECT_STREQ("确定要退出 朔岩USBKey", text);
    char small[8];
    FormatTrayOpenItem("open", "product", "tool", small, sizeof(small)); // cut, terminated
    EXPECT_STREQ("open pr", small);
    FormatTrayOpenItem(nullptr, "p", nullptr, text, sizeof(text)); // a missing text is empty
    EXPECT_STREQ(" p (&O)", text);
}
