// The PIN page's rules: the soft-keyboard input policy, the strength bands,
// the apply button and what the change call's result means to the user.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>

enum {
    PIN_FIELD_OLD = 0,
    PIN_FIELD_NEW = 1,
    PIN_FIELD_AGAIN = 2,
    PIN_FIELD_COUNT = 3,
    PIN_FIELD_LIMIT = 128, // bytes a field takes
    PIN_GRADE_SCALE = 2000,
};

// The token library's two judgements of a field text.
struct PinJudge {
    std::function<int(const char *)> isInputNumber;
    std::function<uint32_t(const char *)> grade;
};

struct PinInputOutcome {
    int emptyField;              // field to empty, or -1
    const char *messageKey;      // exclamation box text key, or NULL
    const char *oldGradeKey;     // new text of line 1059, or NULL to keep it
    const char *newGradeKey;     // new text of line 1060, or NULL to keep it
    bool clearScreenKeyInput;
    bool applyDecided;           // false: the apply button keeps its state
    bool applyEnabled;
};

// What one change of a field put into it: the text between what the change
// kept at the front and what it kept at the end ("" for a deletion).
std::string PinTypedText(const std::string &before, const std::string &after);

// One run of the input check over the three field texts after a change of
// changedField (-1: none), which put typed into it. The soft-keyboard policy
// judges that field alone; in the numeric mode only what was typed, so
// letters typed and digits clicked make one PIN.
PinInputOutcome CheckPinInput(const std::string fields[PIN_FIELD_COUNT], int changedField, const std::string &typed,
                              bool suppressed, int keyboardMode, bool screenKeyInput, int minPinLen, int maxPinLen,
                              const PinJudge &judge);

// Text key of a strength line for a nonzero grade (compared unsigned).
const char *PinGradeKey(uint32_t grade, bool newPin);

bool PinApplyAllowed(const std::string fields[PIN_FIELD_COUNT], int minPinLen, int maxPinLen);

struct PinChangeTexts {
    std::string success, pinError, retryNum, retryPrompt, locked, toContactor, fail;
};

struct PinChangeOutcome {
    std::string text;
    bool exclamation;
    bool emptyAll;     // success
    bool emptyOld;     // wrong old PIN: empty and focus the old field
    bool writeTag;     // success: PinTag is written next
};

PinChangeOutcome ComposePinChangeOutcome(uint32_t result, uint8_t triesLeft, const PinChangeTexts &texts);
