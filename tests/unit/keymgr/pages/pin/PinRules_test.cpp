#include "keymgr/pages/pin/PinRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// Grades by table, marks digits, and records every text it was asked about.
struct Judge {
    std::map<std::string, uint32_t> grades;
    std::vector<std::string> asked;
    PinJudge Make()
    {
        PinJudge j;
        j.isInputNumber = [this](const char *t) {
            asked.push_back(std::string("num:") + t);
            return std::string(t).find_first_of("0123456789") != std::string::npos ? 1 : 0;
        };
        j.grade = [this](const char *t) {
            asked.push_back(std::string("grade:") + t);
            auto it = grades.find(t);
            return it == grades.end() ? 2u : it->second;
        };
        return j;
    }
};

PinInputOutcome Check(Judge &judge, std::string a, std::string b, std::string c, int mode, bool screen = false,
                    bool suppressed = false, int changed = -1, const std::string &typed = "")
{
    std::string f[3] = {a, b, c};
    return CheckPinInput(f, changed, typed, suppressed, mode, screen, 6, 16, judge.Make());
}

TEST(PinTypedText, WhatTheChangePutBetweenWhatItKept)
{
    EXPECT_EQ("7", PinTypedText("12", "127"));
    EXPECT_EQ("x", PinTypedText("ab", "axb"));
    EXPECT_EQ("a", PinTypedText("aa", "aaa")) << "a repeated character is one typed";
    EXPECT_EQ("9", PinTypedText("a1b", "a9b")) << "a selection typed over";
    EXPECT_EQ("", PinTypedText("abc", "ac"));
    EXPECT_EQ("abc1", PinTypedText("", "abc1")) << "a paste is all typed";
}

// The old PIN clicked on the numeric keyboard, then keys typed into the new one.
TEST(PinInputCheck, NumericModeJudgesWhatWasTypedIntoTheChangedFieldOnly)
{
    Judge judge;
    PinInputOutcome o = Check(judge, "135790", "ab", "", 1, false, false, PIN_FIELD_NEW, "b");
    EXPECT_EQ(NULL, o.messageKey) << "a typed letter beside clicked digits";
    EXPECT_EQ("num:b", judge.asked.at(0));

    o = Check(judge, "135790", "ab7", "", 1, false, false, PIN_FIELD_NEW, "7");
    EXPECT_EQ(PIN_FIELD_NEW, o.emptyField) << "the field typed in, not the first with digits";
    EXPECT_STREQ("ZV_NUMFORMSKBM", o.messageKey);
    EXPECT_FALSE(o.applyDecided);
    EXPECT_FALSE(o.clearScreenKeyInput);

    judge.asked.clear();
    o = Check(judge, "135790", "a1", "", 1, false, false, PIN_FIELD_NEW, "");
    EXPECT_EQ(NULL, o.messageKey) << "a typed Backspace";
    EXPECT_TRUE(std::none_of(judge.asked.begin(), judge.asked.end(),
                             [](const std::string &a) { return a.find("num:") == 0; }));

    o = Check(judge, "135790", "a17", "", 1, true, false, PIN_FIELD_NEW, "7");
    EXPECT_EQ(-1, o.emptyField) << "a digit the soft keyboard sent";
    EXPECT_TRUE(o.clearScreenKeyInput);
}

TEST(PinInputCheck, FullModeRefusesTheChangedFieldOnly)
{
    Judge judge;
    PinInputOutcome o = Check(judge, "abc123", "", "x", 2, false, false, PIN_FIELD_AGAIN, "x");
    EXPECT_EQ(PIN_FIELD_AGAIN, o.emptyField);
    EXPECT_STREQ("ZV_FULLFORMSKBM", o.messageKey);
    o = Check(judge, "abc123", "", "x", 2, true, false, PIN_FIELD_AGAIN, "x");
    EXPECT_EQ(-1, o.emptyField);
}

TEST(PinInputCheck, GradeZeroEmptiesThatFieldAndKeepsEarlierGrades)
{
    Judge judge;
    judge.grades["bad"] = 0;
    judge.grades["oldpin"] = 4;
    PinInputOutcome o = Check(judge, "oldpin", "bad", "other1", 0);
    EXPECT_EQ(PIN_FIELD_NEW, o.emptyField);
    EXPECT_STREQ("ZV_ERROR_PWSGRADE", o.messageKey);
    EXPECT_STREQ("ZV_OLDPIN_MID_PWSGRADE", o.oldGradeKey);
    EXPECT_EQ(NULL, o.newGradeKey);
    EXPECT_FALSE(o.applyDecided);
    EXPECT_FALSE(o.clearScreenKeyInput);
}

TEST(PinInputCheck, RepeatFieldGradeIsTheOneShownAndEmptyFieldsAreNotGraded)
{
    Judge judge;
    judge.grades["weak12"] = 3;
    judge.grades["Strong!9x"] = 6;
    PinInputOutcome o = Check(judge, "", "weak12", "Strong!9x", 0);
    EXPECT_EQ(NULL, o.messageKey);
    EXPECT_EQ(NULL, o.oldGradeKey);
    EXPECT_STREQ("ZV_NEWPIN_HIGH_PWSGRADE", o.newGradeKey);
    EXPECT_EQ((std::vector<std::string>{"grade:weak12", "grade:Strong!9x"}), judge.asked);
    EXPECT_TRUE(o.applyDecided);
    EXPECT_FALSE(o.applyEnabled); // the old field is empty
}

TEST(PinInputCheck, ApplyNeverComesWithAnEmptyFieldEvenWithoutLimits)
{
    // Limits that could not be read are both 0.
    Judge judge;
    std::string empty[3] = {"", "", ""};
    PinInputOutcome o = CheckPinInput(empty, -1, "", false, 0, false, 0, 0, judge.Make());
    EXPECT_TRUE(o.applyDecided);
    EXPECT_FALSE(o.applyEnabled);
    std::string oneEmpty[3] = {"", "abc", "abc"};
    EXPECT_FALSE(PinApplyAllowed(oneEmpty, 0, 16));
    std::string full[3] = {"a", "abc", "abc"};
    EXPECT_TRUE(PinApplyAllowed(full, 0, 16));
    EXPECT_FALSE(PinApplyAllowed(full, 0, 0));
}

TEST(PinInputCheck, SuppressedRunAsksTheLibraryNothingAndSetsApply)
{
    Judge judge;
    PinInputOutcome o = Check(judge, "123456", "123456", "123456", 1, false, true, PIN_FIELD_OLD, "6");
    EXPECT_TRUE(judge.asked.empty());
    EXPECT_EQ(NULL, o.messageKey);
    EXPECT_TRUE(o.applyDecided);
    EXPECT_TRUE(o.applyEnabled);
    EXPECT_FALSE(o.clearScreenKeyInput);
}

TEST(PinChangeOutcome, EachResultTellsWhatToShowAndEmpty)
{
    PinChangeTexts t;
    t.success = "OK";
    t.pinError = "ERR";
    t.retryNum = "LEFT";
    t.retryPrompt = "TIMES";
    t.locked = "LOCKED";
    t.toContactor = "CALL";
    t.fail = "FAIL";
    PinChangeOutcome o = ComposePinChangeOutcome(0, 0, t);
    EXPECT_TRUE(o.text == "OK" && !o.exclamation && o.emptyAll && o.writeTag && !o.emptyOld);
    o = ComposePinChangeOutcome(0x8800003D, 5, t);
    EXPECT_EQ("ERR\nLEFT5TIMES", o.text);
    EXPECT_TRUE(o.exclamation && o.emptyOld && !o.emptyAll && !o.writeTag);
    o = ComposePinChangeOutcome(0x8800003E, 0, t);
    EXPECT_EQ("LOCKED CALL", o.text);
    EXPECT_FALSE(o.emptyOld || o.emptyAll || o.writeTag);
    o = ComposePinChangeOutcome(0x88000030, 3, t);
    EXPECT_EQ("FAIL", o.text);
    EXPECT_FALSE(o.writeTag);
}

} // namespace
