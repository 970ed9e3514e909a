#include "keymgr/pages/pin/PinRules.h"

#include <gtest/gtest.h>

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
                    bool suppressed = false)
{
    std::string f[3] = {a, b, c};
    return CheckPinInput(f, suppressed, mode, screen, 6, 16, judge.Make());
}

TEST(PinInputCheck, NumericModeRefusesTheFirstMarkedFieldInOrder)
{
    Judge judge;
    PinInputOutcome o = Check(judge, "abcdef", "abc123", "12", 1);
    EXPECT_EQ(PIN_FIELD_NEW, o.emptyField);
    EXPECT_STREQ("ZV_NUMFORMSKBM", o.messageKey);
    EXPECT_FALSE(o.applyDecided);
    EXPECT_FALSE(o.clearScreenKeyInput);
    for (const std::string &a : judge.asked)
        EXPECT_EQ(0u, a.find("num:")) << "graded before the policy passed: " << a;

    o = Check(judge, "abcdef", "abc123", "12", 1, true);
    EXPECT_EQ(-1, o.emptyField);
    EXPECT_TRUE(o.clearScreenKeyInput);
}

TEST(PinInputCheck, FullModeLooksPastEmptyFields)
{
    Judge judge;
    PinInputOutcome o = Check(judge, "", "", "x", 2);
    EXPECT_EQ(PIN_FIELD_AGAIN, o.emptyField);
    EXPECT_STREQ("ZV_FULLFORMSKBM", o.messageKey);
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
    PinInputOutcome o = CheckPinInput(empty, false, 0, false, 0, 0, judge.Make());
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
    PinInputOutcome o = Check(judge, "123456", "123456", "123456", 1, false, true);
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

TEST(PinWipe, TheBytesAreZeroedBeforeTheStringIsEmptied)
{
    std::string pin = "123456";
    const char *bytes = pin.data();
    WipePin(&pin);
    EXPECT_TRUE(pin.empty());
    EXPECT_EQ(std::string(6, '\0'), std::string(bytes, 6));

    char buffer[8] = "654321";
    WipePin(buffer, sizeof(buffer));
    EXPECT_EQ(std::string(8, '\0'), std::string(buffer, 8)) << "a whole buffer, not up to its first NUL";
}

} // namespace
