// User PIN checks of a token: wrong PINs count the retries down, the token
// locks when none are left.
#pragma once

#include "sim/core/SimState.h"

// 0 when the PIN matches (retries reset to the maximum); TOK_ERR_WRONG_PIN
// with the retries left in *triesLeft; TOK_ERR_PIN_LOCKED when locked,
// including by this very attempt. triesLeft may be NULL.
uint32_t VerifyUserPin(Reader &reader, const char *pin, uint8_t *triesLeft);

// Verifies oldPin, then stores newPin (1 to 128 bytes, else SIM_ERR_BAD_ARGUMENT
// and nothing changes but the retry reset of a matching old PIN).
uint32_t ChangeUserPin(Reader &reader, const char *oldPin, const char *newPin, uint8_t *triesLeft);

// Verifies pin, then stores the label cut to 32 bytes.
uint32_t WriteLabel(Reader &reader, const char *pin, const char *label, uint8_t *triesLeft);

bool PinLocked(const Reader &reader);
