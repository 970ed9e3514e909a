#include "keymgr/shell/defaultpin/PinTagRule.h"

#include "keymgr/library/TokenCalls.h"
#include "keymgr/library/TokenEntries.h"
#include "keymgr/shell/token/CurrentToken.h"

#include <stddef.h>

PinTagAction DecidePinTag(uint32_t readResult, uint8_t firstByte)
{
    if (readResult == TOK_ERR_NO_FILE)
        return PINTAG_CREATE_THEN_REMIND;
    if (readResult == 0 && (firstByte == 1 || firstByte == '1'))
        return PINTAG_NO_REMINDER;
    return PINTAG_REMIND;
}

static uint32_t ReadPinTag(const char *reader, uint8_t *firstByte)
{
    uint8_t tag[255] = {0};
    uint32_t length = sizeof(tag), out = 0;
    uint32_t rc = static_cast<uint32_t>(Tok::OC_ReadFile(0, reader, static_cast<const char *>(NULL), 0, 0, tag,
                                                         &length, &out));
    *firstByte = tag[0];
    return rc;
}

bool PinTagSaysChanged(const char *reader)
{
    uint8_t tag = 0;
    uint32_t rc = ReadPinTag(reader, &tag);
    return DecidePinTag(rc, tag) == PINTAG_NO_REMINDER;
}

PinReminder CheckPinReminder(const char *reader)
{
    uint32_t state = 0;
    if (Tok::OC_GetHWApp(0, reader, &state) != 0) {
        SetCurrentAppState(APP_STATE_UNREADABLE);
        return PIN_REMINDER_NONE;
    }
    SetCurrentAppState(state);
    if (state != 1)
        return PIN_REMINDER_NONE;

    uint8_t tag = 0;
    uint32_t rc = ReadPinTag(reader, &tag);
    switch (DecidePinTag(rc, tag)) {
    case PINTAG_NO_REMINDER:
        return PIN_REMINDER_NONE;
    case PINTAG_CREATE_THEN_REMIND:
        if (Tok::OC_CreateFile(0, reader, static_cast<const char *>(NULL), 0, 0, 260u) != 0)
            return PIN_REMINDER_TAG_FAILED;
        break;
    case PINTAG_REMIND:
        break;
    }
    return PIN_REMINDER_SHOW;
}
