#include "keymgr/shell/token/OpenedToken.h"

#include "common/BoundedCopy.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/token/ReaderEvents.h"

#include <string.h>

static bool ReadSerial(const char *reader, char *out)
{
    char serial[SERIAL_BUFFER_SIZE + 12] = {0};
    memset(out, 0, SERIAL_BUFFER_SIZE);
    if (Tok::OC_GetSerial(0, reader, serial) != 0)
        return false;
    CopyBoundedN(out, SERIAL_BUFFER_SIZE, serial, SERIAL_LENGTH);
    return true;
}

OpenedToken CaptureOpenedToken()
{
    OpenedToken token;
    CopyCurrentReader(token.reader, sizeof(token.reader));
    token.readerEvents = ReaderEventCount(token.reader);
    token.serialRead = ReadSerial(token.reader, token.serial);
    return token;
}

bool OpenedTokenStillThere(const OpenedToken &token)
{
    if (!token.reader[0])
        return false;
    uint32_t state = 0;
    if (Tok::QKGetDevState(token.reader, &state) != 0 || state != TOK_DEV_PRESENT)
        return false;
    if (ReaderEventCount(token.reader) != token.readerEvents)
        return false;
    char serial[SERIAL_BUFFER_SIZE];
    if (!token.serialRead || !ReadSerial(token.reader, serial))
        return true;
    return memcmp(serial, token.serial, SERIAL_BUFFER_SIZE) == 0;
}

uint32_t WriteOpenedTokenLabel(const OpenedToken &token, const char *pin, const char *label, uint8_t *triesLeft)
{
    if (!OpenedTokenStillThere(token))
        return TOK_ERR_TOKEN_CHANGED;
    return static_cast<uint32_t>(Tok::OC_WriteLabel(0, token.reader, pin, label, triesLeft));
}

uint32_t ChangeOpenedTokenPin(const OpenedToken &token, const char *oldPin, const char *newPin, uint8_t *triesLeft)
{
    if (!OpenedTokenStillThere(token))
        return TOK_ERR_TOKEN_CHANGED;
    return static_cast<uint32_t>(Tok::OC_ChangeUserPin(0, token.reader, oldPin, newPin, triesLeft));
}

uint32_t WriteOpenedTokenPinTag(const OpenedToken &token)
{
    if (!OpenedTokenStillThere(token))
        return TOK_ERR_TOKEN_CHANGED;
    uint8_t tag[1] = {0x01};
    uint32_t out = 0;
    return static_cast<uint32_t>(
        Tok::OC_WriteFile(0, token.reader, static_cast<const char *>(NULL), 0, 0, tag, (uint32_t)1, &out));
}

void ReadOpenedTokenRetries(const OpenedToken &token)
{
    uint32_t retries = 0;
    Tok::OC_GetUserPinRetryNum(0, token.reader, &retries);
    char current[READER_NAME_SIZE];
    CopyCurrentReader(current, sizeof(current));
    if (strncmp(current, token.reader, sizeof(current)) == 0)
        SetCurrentUserPinRetries(retries);
}
