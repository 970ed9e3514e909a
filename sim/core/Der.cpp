#include "sim/core/Der.h"

#include "sim/core/SimTime.h"

#include <stdio.h>
#include <stdlib.h>

namespace Der {

static void AppendLength(Bytes &out, size_t length)
{
    if (length < 0x80) {
        out.push_back((uint8_t)length);
        return;
    }
    uint8_t digits[8];
    int n = 0;
    while (length) {
        digits[n++] = (uint8_t)(length & 0xFF);
        length >>= 8;
    }
    out.push_back((uint8_t)(0x80 | n));
    while (n)
        out.push_back(digits[--n]);
}

Bytes Tlv(uint8_t tag, const Bytes &content)
{
    Bytes out;
    out.reserve(content.size() + 6);
    out.push_back(tag);
    AppendLength(out, content.size());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

static Bytes Concat(const std::vector<Bytes> &items)
{
    Bytes all;
    for (const Bytes &b : items)
        all.insert(all.end(), b.begin(), b.end());
    return all;
}

Bytes Sequence(const std::vector<Bytes> &items)
{
    return Tlv(SEQUENCE, Concat(items));
}

Bytes Set(const std::vector<Bytes> &items)
{
    return Tlv(SET, Concat(items));
}

Bytes Integer(const Bytes &magnitude)
{
    size_t start = 0;
    while (start + 1 < magnitude.size() && magnitude[start] == 0)
        ++start;
    Bytes content;
    if (magnitude.empty() || (magnitude[start] & 0x80))
        content.push_back(0);
    content.insert(content.end(), magnitude.begin() + (long)start, magnitude.end());
    return Tlv(INTEGER, content);
}

Bytes SmallInteger(uint32_t value)
{
    Bytes m;
    for (int shift = 24; shift >= 0; shift -= 8)
        m.push_back((uint8_t)(value >> shift));
    return Integer(m);
}

static void AppendBase128(Bytes &out, uint64_t value)
{
    uint8_t digits[10];
    int n = 0;
    do {
        digits[n++] = (uint8_t)(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n > 1)
        out.push_back((uint8_t)(digits[--n] | 0x80));
    out.push_back(digits[0]);
}

Bytes Oid(const char *dotted)
{
    std::vector<uint64_t> arcs;
    const char *p = dotted;
    while (*p) {
        char *end;
        uint64_t v = strtoull(p, &end, 10);
        if (end == p)
            break;
        arcs.push_back(v);
        p = end;
        if (*p != '.')
            break;
        ++p;
    }
    Bytes content;
    if (arcs.size() >= 2) {
        AppendBase128(content, arcs[0] * 40 + arcs[1]);
        for (size_t i = 2; i < arcs.size(); ++i)
            AppendBase128(content, arcs[i]);
    }
    return Tlv(OID, content);
}

Bytes BitString(const Bytes &content)
{
    Bytes c;
    c.push_back(0);
    c.insert(c.end(), content.begin(), content.end());
    return Tlv(BIT_STRING, c);
}

Bytes Null()
{
    return Tlv(NULL_TAG, Bytes());
}

Bytes Utf8String(const std::string &utf8)
{
    return Tlv(UTF8_STRING, Bytes(utf8.begin(), utf8.end()));
}

Bytes Time(int64_t seconds)
{
    CivilTime t = SecondsToCivil(seconds);
    char text[32];
    if (t.year >= 1950 && t.year < 2050) {
        snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02dZ", t.year % 100, t.month, t.day, t.hour, t.minute,
                 t.second);
        return Tlv(UTC_TIME, Bytes(text, text + 13));
    }
    snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02dZ", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return Tlv(GENERALIZED_TIME, Bytes(text, text + 15));
}

} // namespace Der
