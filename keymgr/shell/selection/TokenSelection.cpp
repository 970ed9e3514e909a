#include "keymgr/shell/selection/TokenSelection.h"

#include "common/BoundedCopy.h"
#include "common/WipePin.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/defaultpin/DefaultPinTries.h"
#include "keymgr/shell/defaultpin/PinTagRule.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/ReaderSlots.h"

#include <string.h>

uint32_t ListPresentTokens(const ReaderList &readers, std::vector<std::string> &listed)
{
    listed.clear();
    for (size_t i = 0; i < readers.Size(); ++i) {
        if (listed.size() >= MAX_LISTED_TOKENS)
            return TOK_ERR_TOO_MANY_TOKENS;
        const char *reader = readers.Name(i);
        uint32_t state = 0;
        int rc = Tok::QKGetDevState(reader, &state);
        if (rc != 0)
            return static_cast<uint32_t>(rc);
        if (state != TOK_DEV_PRESENT)
            continue;
        int enabled = 0;
        if (Tok::PCODE_IsCheck(&enabled) == 0 && enabled) {
            int matches = 0;
            if (Tok::PCODE_Compare(reader, &matches) != 0 || !matches)
                continue;
            VerifiedReaders().Store(reader, 1);
        }
        listed.push_back(reader);
    }
    return 0;
}

static bool ReadLabelOf(const char *reader, char *out)
{
    char label[LABEL_BUFFER_SIZE] = {0};
    uint32_t length = LABEL_READ_LENGTH;
    if (Tok::OC_ReadLabel(0, reader, label, &length) != 0)
        return false;
    label[LABEL_BUFFER_SIZE - 1] = '\0';
    CopyBounded(out, LABEL_BUFFER_SIZE, label);
    return true;
}

bool ReadSelectedLabel()
{
    char reader[READER_NAME_SIZE];
    CopyCurrentReader(reader, sizeof(reader));
    char label[LABEL_BUFFER_SIZE];
    if (!ReadLabelOf(reader, label))
        return false;
    SetCurrentLabel(label);
    return true;
}

SelectionOutcome ReadSelectedToken(const char *reader)
{
    // Read into a copy, outside the record's lock; stored in one step.
    SelectionOutcome outcome = SELECTION_READ;
    CurrentTokenSnapshot r = SnapshotCurrentToken();
    CopyBounded(r.reader, sizeof(r.reader), reader);

    r.prevAppState = r.appState;
    uint32_t state = 0;
    r.appState = Tok::OC_GetHWApp(0, r.reader, &state) == 0 ? state : APP_STATE_UNREADABLE;

    // A label left from the previous token must not show for this one.
    memset(r.label, 0, sizeof(r.label));
    if (r.appState & APP_STATE_PIN_MASK) {
        if (!ReadLabelOf(r.reader, r.label))
            r.appState = APP_STATE_UNREADABLE;
        int mode = 0;
        // A token whose tag says its PIN was changed is never tried.
        if (Tok::ZRGetPinModeEx(&mode) == 0 && mode != 0 && PendingDefaultPinTries().Take(r.reader) &&
            !PinTagSaysChanged(r.reader)) {
            uint32_t tries = 0;
            bool triesRead = Tok::OC_GetUserPinRetryNum(0, r.reader, &tries) == 0;
            if (DefaultPinMayBeTried(triesRead, tries)) {
                char pin[256] = {0};
                Tok::ZRGetDefaultUserPin(pin);
                pin[sizeof(pin) - 1] = '\0';
                uint8_t out = 0;
                if (Tok::OC_VerifyUserPin(0, r.reader, pin, &out) != 0)
                    outcome = SELECTION_DEFAULT_PIN_REFUSED;
                WipePin(pin, sizeof(pin));
            }
        }
    }

    char serial[SERIAL_BUFFER_SIZE + 12] = {0};
    if (Tok::OC_GetSerial(0, r.reader, serial) == 0)
        CopyBoundedN(r.serial, sizeof(r.serial), serial, SERIAL_LENGTH);
    else
        memset(r.serial, 0, sizeof(r.serial));

    uint32_t value = 0;
    r.userPinRetries = Tok::OC_GetUserPinRetryNum(0, r.reader, &value) == 0 ? value : 0;
    value = 0;
    r.freeSize = Tok::OC_GetFreeSize(0, r.reader, &value) == 0 ? value : 0;
    value = 0;
    r.totalSize = Tok::OC_GetTotalSize(0, r.reader, &value) == 0 ? value : 0;
    if (r.totalSize < r.freeSize)
        r.totalSize = 0;
    value = 0;
    r.devType = Tok::OC_GetDevType(0, r.reader, &value) == 0 ? value : 4;
    StoreCurrentToken(r);
    return outcome;
}
