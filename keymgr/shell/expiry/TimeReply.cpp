#include "keymgr/shell/expiry/TimeReply.h"

bool DecodeTimeReply(const uint8_t *data, size_t length, uint64_t *fileTime)
{
    if (!data || !fileTime || length != TIME_REPLY_SIZE)
        return false;
    uint32_t seconds = ((uint32_t)data[0] << 24) | ((uint32_t)data[1] << 16) | ((uint32_t)data[2] << 8) | data[3];
    *fileTime = kTicks1601To1900 + (uint64_t)seconds * kTicksPerSecond;
    return true;
}

namespace {

// A decimal number up to max at p; advances p.
bool ReadNumber(const char *&p, int maxDigits, unsigned long max, unsigned long *value)
{
    if (*p < '0' || *p > '9')
        return false;
    unsigned long v = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + (unsigned long)(*p - '0');
        if (++digits > maxDigits || v > max)
            return false;
        ++p;
    }
    *value = v;
    return true;
}

} // namespace

bool ParseTimeServer(const char *text, uint32_t *address, uint16_t *port)
{
    if (!text || !address || !port)
        return false;
    const char *p = text;
    uint32_t a = 0;
    for (int i = 0; i < 4; ++i) {
        unsigned long part;
        if (!ReadNumber(p, 3, 255, &part))
            return false;
        a = (a << 8) | (uint32_t)part;
        if (i < 3 && *p++ != '.')
            return false;
    }
    unsigned long portValue = TIME_PORT;
    if (*p == ':') {
        ++p;
        if (!ReadNumber(p, 5, 65535, &portValue) || portValue == 0)
            return false;
    }
    if (*p != '\0')
        return false;
    *address = a;
    *port = (uint16_t)portValue;
    return true;
}

void ChooseTimeServer(const char *overrideText, uint32_t *address, uint16_t *port)
{
    uint32_t a = kTimeServerAddress;
    uint16_t p = TIME_PORT;
    if (overrideText)
        ParseTimeServer(overrideText, &a, &p);
    *address = a;
    *port = p;
}
