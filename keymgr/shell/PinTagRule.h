// What the default-PIN check does with the PIN-tag file it read.
#pragma once

#include <stdint.h>

enum PinTagAction {
    PINTAG_NO_REMINDER,       // the PIN was changed
    PINTAG_REMIND,            // a default PIN, or a tag that cannot be trusted
    PINTAG_CREATE_THEN_REMIND // no tag file yet
};

// readResult: the result of the file read; firstByte: the tag read.
PinTagAction DecidePinTag(uint32_t readResult, uint8_t firstByte);
