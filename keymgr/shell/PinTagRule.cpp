#include "keymgr/shell/PinTagRule.h"

#include "keymgr/library/TokenEntries.h"

PinTagAction DecidePinTag(uint32_t readResult, uint8_t firstByte)
{
    if (readResult == TOK_ERR_NO_FILE)
        return PINTAG_CREATE_THEN_REMIND;
    if (readResult == 0 && (firstByte == 1 || firstByte == '1'))
        return PINTAG_NO_REMINDER;
    return PINTAG_REMIND;
}
