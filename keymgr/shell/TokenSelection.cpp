#include "keymgr/shell/TokenSelection.h"

#include "common/BoundedCopy.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/CurrentToken.h"
#include "keymgr/shell/ReaderSlots.h"

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

bool ReadSelectedLabel()
{
    char label[LABEL_BUFFER_SIZE] = {0};
    uint32_t length = LABEL_READ_LENGTH;
    if (Tok::OC_ReadLabel(0, SelReader, label, &length) != 0)
        return false;
    label[LABEL_BUFFER_SIZE - 1] = '\0';
    CopyBounded(SelLabel, sizeof(SelLabel), label);
    return true;
}

SelectionOutcome ReadSelectedToken(const char *reader)
{
    SelectionOutcome outcome = SELECTION_READ;
    CopyBounded(SelReader, sizeof(SelReader), reader);

    SelPrevAppState = SelAppState;
    uint32_t state = 0;
    SelAppState = Tok::OC_GetHWApp(0, SelReader, &state) == 0 ? state : APP_STATE_UNREADABLE;

    // A label left from the previous token must not show for this one.
    memset(SelLabel, 0, sizeof(SelLabel));
    if (SelAppState & APP_STATE_PIN_MASK) {
        if (!ReadSelectedLabel())
            SelAppState = APP_STATE_UNREADABLE;
        int mode = 0;
        if (Tok::ZRGetPinModeEx(&mode) == 0 && mode != 0) {
            char pin[256] = {0};
            Tok::ZRGetDefaultUserPin(pin);
            pin[sizeof(pin) - 1] = '\0';
            uint8_t out = 0;
            if (Tok::OC_VerifyUserPin(0, SelReader, pin, &out) != 0)
                outcome = SELECTION_DEFAULT_PIN_REFUSED;
        }
    }

    char serial[SERIAL_BUFFER_SIZE + 12] = {0};
    if (Tok::OC_GetSerial(0, SelReader, serial) == 0)
        CopyBoundedN(SelSerial, sizeof(SelSerial), serial, SERIAL_LENGTH);
    else
        memset(SelSerial, 0, sizeof(SelSerial));

    uint32_t value = 0;
    SelUserPinRetries = Tok::OC_GetUserPinRetryNum(0, SelReader, &value) == 0 ? value : 0;
    value = 0;
    SelFreeSize = Tok::OC_GetFreeSize(0, SelReader, &value) == 0 ? value : 0;
    value = 0;
    SelTotalSize = Tok::OC_GetTotalSize(0, SelReader, &value) == 0 ? value : 0;
    if (SelTotalSize < SelFreeSize)
        SelTotalSize = 0;
    value = 0;
    SelDevType = Tok::OC_GetDevType(0, SelReader, &value) == 0 ? value : 4;
    return outcome;
}
