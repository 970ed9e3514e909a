#include "keymgr/pages/pin/PinRules.h"

#include "keymgr/library/TokenEntries.h"

#include <stdio.h>

namespace {

PinInputOutcome Unchanged()
{
    PinInputOutcome o;
    o.emptyField = -1;
    o.messageKey = NULL;
    o.oldGradeKey = NULL;
    o.newGradeKey = NULL;
    o.clearScreenKeyInput = false;
    o.applyDecided = false;
    o.applyEnabled = false;
    return o;
}

PinInputOutcome Refuse(PinInputOutcome o, int field, const char *key)
{
    o.emptyField = field;
    o.messageKey = key;
    return o;
}

} // namespace

const char *PinGradeKey(uint32_t grade, bool newPin)
{
    if (grade <= 3)
        return newPin ? "ZV_NEWPIN_LOW_PWSGRADE" : "ZV_OLDPIN_LOW_PWSGRADE";
    if (grade <= 5)
        return newPin ? "ZV_NEWPIN_MID_PWSGRADE" : "ZV_OLDPIN_MID_PWSGRADE";
    return newPin ? "ZV_NEWPIN_HIGH_PWSGRADE" : "ZV_OLDPIN_HIGH_PWSGRADE";
}

bool PinApplyAllowed(const std::string fields[PIN_FIELD_COUNT], int minPinLen, int maxPinLen)
{
    for (int i = 0; i < PIN_FIELD_COUNT; ++i) {
        long long length = (long long)fields[i].size();
        // Limits that could not be read are 0: an empty PIN still never goes out.
        if (length == 0 || length < minPinLen || length > maxPinLen)
            return false;
    }
    return true;
}

std::string PinTypedText(const std::string &before, const std::string &after)
{
    size_t front = 0;
    while (front < before.size() && front < after.size() && before[front] == after[front])
        ++front;
    size_t back = 0;
    while (back < before.size() - front && back < after.size() - front &&
           before[before.size() - 1 - back] == after[after.size() - 1 - back])
        ++back;
    return after.substr(front, after.size() - front - back);
}

PinInputOutcome CheckPinInput(const std::string fields[PIN_FIELD_COUNT], int changedField, const std::string &typed,
                              bool suppressed, int keyboardMode, bool screenKeyInput, int minPinLen, int maxPinLen,
                              const PinJudge &judge)
{
    PinInputOutcome o = Unchanged();
    if (!suppressed) {
        if (changedField >= 0 && changedField < PIN_FIELD_COUNT && !screenKeyInput) {
            // A deletion types nothing the numeric mode could refuse.
            if (keyboardMode == 1 && !typed.empty() && judge.isInputNumber(typed.c_str()) == 1)
                return Refuse(o, changedField, "ZV_NUMFORMSKBM");
            if (keyboardMode == 2 && !fields[changedField].empty())
                return Refuse(o, changedField, "ZV_FULLFORMSKBM");
        }
        for (int i = 0; i < PIN_FIELD_COUNT; ++i) {
            // A field not typed yet has no strength to judge: grading it
            // would refuse every first keystroke in another field.
            if (fields[i].empty())
                continue;
            uint32_t grade = judge.grade(fields[i].c_str());
            if (grade == 0)
                return Refuse(o, i, "ZV_ERROR_PWSGRADE");
            if (i == PIN_FIELD_OLD)
                o.oldGradeKey = PinGradeKey(grade, false);
            else
                o.newGradeKey = PinGradeKey(grade, true);
        }
        o.clearScreenKeyInput = true;
    }
    o.applyDecided = true;
    o.applyEnabled = PinApplyAllowed(fields, minPinLen, maxPinLen);
    return o;
}

PinChangeOutcome ComposePinChangeOutcome(uint32_t result, uint8_t triesLeft, const PinChangeTexts &t)
{
    PinChangeOutcome o;
    o.exclamation = true;
    o.emptyAll = false;
    o.emptyOld = false;
    o.writeTag = false;
    if (result == 0) {
        o.text = t.success;
        o.exclamation = false;
        o.emptyAll = true;
        o.writeTag = true;
    } else if (result == TOK_ERR_WRONG_PIN) {
        char count[8];
        snprintf(count, sizeof(count), "%u", (unsigned)triesLeft);
        o.text = t.pinError + "\n" + t.retryNum + count + t.retryPrompt;
        o.emptyOld = true;
    } else if (result == TOK_ERR_PIN_LOCKED) {
        o.text = t.locked + " " + t.toContactor;
    } else {
        o.text = t.fail;
    }
    return o;
}
