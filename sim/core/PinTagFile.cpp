#include "sim/core/PinTagFile.h"

#include "keymgr/library/TokenEntries.h"

#include <string.h>

uint32_t ReadPinTagFile(const Reader &r, uint8_t *buffer, uint32_t *length)
{
    if (!r.pinTagPresent)
        return TOK_ERR_NO_FILE;
    if (!length)
        return SIM_ERR_BAD_ARGUMENT;
    uint32_t size = (uint32_t)r.pinTag.size();
    if (!buffer || *length < size) {
        *length = size;
        return buffer ? (uint32_t)SIM_ERR_BUFFER_TOO_SMALL : (uint32_t)TOK_OK;
    }
    if (size)
        memcpy(buffer, r.pinTag.data(), size);
    *length = size;
    return TOK_OK;
}

uint32_t CreatePinTagFile(Reader &r, uint32_t size)
{
    if (r.pinTagPresent)
        return SIM_ERR_FILE_EXISTS;
    if (size == 0 || size > SIM_MAX_FILE)
        return SIM_ERR_BAD_ARGUMENT;
    r.pinTagPresent = true;
    r.pinTag.clear();
    return TOK_OK;
}

uint32_t WritePinTagFile(Reader &r, const uint8_t *data, uint32_t length)
{
    if (!r.pinTagPresent)
        return TOK_ERR_NO_FILE;
    if (!data || length > SIM_MAX_FILE)
        return SIM_ERR_BAD_ARGUMENT;
    r.pinTag.assign((const char *)data, length);
    return TOK_OK;
}
