#include "sim/core/PinRules.h"

#include "keymgr/library/TokenEntries.h"

#include <string.h>

bool PinLocked(const Reader &reader)
{
    return reader.locked || reader.retries == 0;
}

uint32_t VerifyUserPin(Reader &r, const char *pin, uint8_t *triesLeft)
{
    if (PinLocked(r)) {
        r.locked = true;
        r.retries = 0;
        if (triesLeft)
            *triesLeft = 0;
        return TOK_ERR_PIN_LOCKED;
    }
    if (pin && strnlen(pin, SIM_MAX_PIN + 1) <= SIM_MAX_PIN && r.userPin == pin) {
        r.retries = r.maxRetries ? r.maxRetries : 1;
        if (triesLeft)
            *triesLeft = (uint8_t)r.retries;
        return TOK_OK;
    }
    r.retries -= 1;
    if (triesLeft)
        *triesLeft = (uint8_t)r.retries;
    if (r.retries == 0) {
        r.locked = true;
        return TOK_ERR_PIN_LOCKED;
    }
    return TOK_ERR_WRONG_PIN;
}

uint32_t ChangeUserPin(Reader &r, const char *oldPin, const char *newPin, uint8_t *triesLeft)
{
    uint32_t rc = VerifyUserPin(r, oldPin, triesLeft);
    if (rc != TOK_OK)
        return rc;
    size_t n = newPin ? strnlen(newPin, SIM_MAX_PIN + 1) : 0;
    if (n == 0 || n > SIM_MAX_PIN)
        return SIM_ERR_BAD_ARGUMENT;
    r.userPin = newPin;
    return TOK_OK;
}

uint32_t WriteLabel(Reader &r, const char *pin, const char *label, uint8_t *triesLeft)
{
    uint32_t rc = VerifyUserPin(r, pin, triesLeft);
    if (rc != TOK_OK)
        return rc;
    if (!label)
        return SIM_ERR_BAD_ARGUMENT;
    r.label = BoundText(std::string(label, strnlen(label, 4096)), SIM_MAX_LABEL);
    return TOK_OK;
}
