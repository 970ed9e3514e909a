// The CSP control block as OC_ReadCSPCtrl returns it: three container records
// at a fixed stride. Decoding never reads outside the given buffer nor a
// name outside its own record.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string>

enum {
    CSP_CTRL_SIZE = 0xC0130,
    CSP_RECORD_COUNT = 3,
    CSP_RECORD_STRIDE = 0x4005C,
    CSP_OFF_KEY_FLAGS = 0x1C,
    CSP_OFF_EXCHANGE_LENGTH = 0x20,
    CSP_OFF_SIGNATURE_LENGTH = 0x24,
    CSP_OFF_IN_USE = 0x28,
    CSP_OFF_NAME = 0x2C,
    CSP_KEY_EXCHANGE = 1, // key specification and flag bit 0
    CSP_KEY_SIGNATURE = 2 // key specification and flag bit 1
};

struct CspContainerRecord {
    uint32_t keyFlags;
    uint32_t exchangeCertLength;
    uint32_t signatureCertLength;
    uint32_t inUse;
    std::string name;
    // False when no NUL ends the name inside its record (the name is then
    // empty: a damaged record names no container).
    bool nameTerminated;
};

// Decodes record index (0..2). False when the record does not lie wholly
// inside the buffer.
bool DecodeCspRecord(const uint8_t *block, size_t size, int index, CspContainerRecord *record);

// The key specification whose certificate the expiry warning reads:
// signature when flag bit 1 is set, else exchange.
int ExpiryKeySpec(const CspContainerRecord &record);
