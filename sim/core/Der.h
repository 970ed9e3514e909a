// Minimal DER encoder: enough to build X.509 certificates.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

namespace Der {
enum Tag : uint8_t {
    INTEGER = 0x02,
    BIT_STRING = 0x03,
    NULL_TAG = 0x05,
    OID = 0x06,
    UTF8_STRING = 0x0C,
    PRINTABLE_STRING = 0x13,
    UTC_TIME = 0x17,
    GENERALIZED_TIME = 0x18,
    SEQUENCE = 0x30,
    SET = 0x31,
    CONTEXT_0 = 0xA0,
};

Bytes Tlv(uint8_t tag, const Bytes &content);
Bytes Sequence(const std::vector<Bytes> &items);
Bytes Set(const std::vector<Bytes> &items);
Bytes Integer(const Bytes &bigEndianMagnitude); // non-negative; adds a 0x00 when the top bit is set
Bytes SmallInteger(uint32_t value);
Bytes Oid(const char *dotted);                    // "1.2.840.113549.1.1.1"
Bytes BitString(const Bytes &content);            // no unused bits
Bytes Null();
Bytes Utf8String(const std::string &utf8);
// UTCTime up to 2049, GeneralizedTime from 2050 on.
Bytes Time(int64_t secondsSince1970);
} // namespace Der
