// The token a dialog or page was opened for. The insertion handler may make
// another token current while the user types; what was typed goes to the
// token it was typed for, or nowhere.
#pragma once

#include "keymgr/shell/token/CurrentToken.h"

#include <stdint.h>

struct OpenedToken {
    char reader[READER_NAME_SIZE];
    uint32_t readerEvents; // the device watch's count when opened
    bool serialRead;
    char serial[SERIAL_BUFFER_SIZE];
};

// The current reader, its event count and its serial (when readable), now.
OpenedToken CaptureOpenedToken();

// True while that very token is in its reader: present, and no insertion or
// removal seen there since; when the serial could be read both then and now,
// the same serial too.
bool OpenedTokenStillThere(const OpenedToken &token);

// OC_WriteLabel for the opened token; TOK_ERR_TOKEN_CHANGED (nothing sent)
// when it has left its reader or another token took its place.
uint32_t WriteOpenedTokenLabel(const OpenedToken &token, const char *pin, const char *label, uint8_t *triesLeft);

// OC_ChangeUserPin for the opened token, refused the same way: a PIN typed
// for one token must not use up another's tries.
uint32_t ChangeOpenedTokenPin(const OpenedToken &token, const char *oldPin, const char *newPin, uint8_t *triesLeft);

// OC_WriteFile of PinTag (0x01) for the opened token, refused the same way:
// another token's reminder must not be silenced.
uint32_t WriteOpenedTokenPinTag(const OpenedToken &token);

// OC_GetUserPinRetryNum for the opened token; SelUserPinRetries takes the
// count only while that token's reader is still the current one.
void ReadOpenedTokenRetries(const OpenedToken &token);
