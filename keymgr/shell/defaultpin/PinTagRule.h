// What a token's PIN tag says: whether the default-PIN try may spend a try on
// it, and whether the frame reminds the user to change the default PIN.
#pragma once

#include <stdint.h>

enum PinTagAction {
    PINTAG_NO_REMINDER,       // the PIN was changed
    PINTAG_REMIND,            // a default PIN, or a tag that cannot be trusted
    PINTAG_CREATE_THEN_REMIND // no tag file yet
};

// readResult: the result of the file read; firstByte: the tag read.
PinTagAction DecidePinTag(uint32_t readResult, uint8_t firstByte);

// Whether the reader's token says its PIN was changed: then the default
// PIN would only spend one of its tries.
bool PinTagSaysChanged(const char *reader);

enum PinReminder {
    PIN_REMINDER_NONE,       // nothing to say (or the token's state could not be read)
    PIN_REMINDER_TAG_FAILED, // the tag file could not be made: an error to show
    PIN_REMINDER_SHOW        // remind the user to change the default PIN
};

// The frame's check after each refresh: records the reader's application
// state (unreadable when it cannot be read), and for a token in the user
// state reads its PIN tag, making the tag file first when there is none.
PinReminder CheckPinReminder(const char *reader);
