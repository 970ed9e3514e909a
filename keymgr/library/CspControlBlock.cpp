#include "keymgr/library/CspControlBlock.h"

#include <string.h>

namespace {

uint32_t ReadLe32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

} // namespace

bool DecodeCspRecord(const uint8_t *block, size_t size, int index, CspContainerRecord *record)
{
    if (!block || !record || index < 0 || index >= CSP_RECORD_COUNT)
        return false;
    size_t start = (size_t)index * CSP_RECORD_STRIDE;
    if (size < start + CSP_RECORD_STRIDE)
        return false;
    const uint8_t *r = block + start;
    record->keyFlags = ReadLe32(r + CSP_OFF_KEY_FLAGS);
    record->exchangeCertLength = ReadLe32(r + CSP_OFF_EXCHANGE_LENGTH);
    record->signatureCertLength = ReadLe32(r + CSP_OFF_SIGNATURE_LENGTH);
    record->inUse = ReadLe32(r + CSP_OFF_IN_USE);
    const char *name = reinterpret_cast<const char *>(r + CSP_OFF_NAME);
    size_t room = CSP_RECORD_STRIDE - CSP_OFF_NAME;
    size_t len = strnlen(name, room);
    record->nameTerminated = len < room;
    record->name = record->nameTerminated ? std::string(name, len) : std::string();
    return true;
}

int ExpiryKeySpec(const CspContainerRecord &record)
{
    return (record.keyFlags & 2u) ? CSP_KEY_SIGNATURE : CSP_KEY_EXCHANGE;
}
