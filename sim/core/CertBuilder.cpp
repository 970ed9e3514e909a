#include "sim/core/CertBuilder.h"

#include <stdlib.h>

std::string IdentityUtf8(const std::string &text)
{
    return text;
}

static Bytes HexBytes(const std::string &hex)
{
    Bytes out;
    int hi = -1;
    for (char c : hex) {
        int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (v < 0)
            continue;
        if (hi < 0) {
            hi = v;
        } else {
            out.push_back((uint8_t)(hi * 16 + v));
            hi = -1;
        }
        if (out.size() >= 20)
            break;
    }
    if (hi >= 0 && out.size() < 20)
        out.push_back((uint8_t)hi);
    if (out.empty())
        out.push_back(1);
    return out;
}

// Deterministic filler bytes seeded by the certificate's serial.
static Bytes Filler(size_t length, uint32_t seed)
{
    Bytes out(length);
    uint32_t x = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < length; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = (uint8_t)x;
    }
    return out;
}

static Bytes Name(const std::string &cnUtf8)
{
    Bytes c = Der::Sequence({Der::Oid("2.5.4.3"), Der::Utf8String(cnUtf8)});
    Bytes o = Der::Sequence({Der::Oid("2.5.4.10"), Der::Utf8String("Lanchuan Bank")});
    Bytes cc = Der::Sequence({Der::Oid("2.5.4.6"), Der::Tlv(Der::PRINTABLE_STRING, Bytes{'C', 'N'})});
    return Der::Sequence({Der::Set({cc}), Der::Set({o}), Der::Set({c})});
}

static Bytes Built(const CertSpec &params, TextToUtf8Fn toUtf8)
{
    Bytes serial = HexBytes(params.serialHex);
    uint32_t seed = 0;
    for (uint8_t b : serial)
        seed = seed * 31 + b;
    Bytes sigAlg = Der::Sequence({Der::Oid("1.2.840.113549.1.1.5"), Der::Null()});
    Bytes modulus = Filler(128, seed);
    modulus[0] |= 0x80;
    modulus[127] |= 0x01;
    Bytes rsaKey = Der::Sequence({Der::Integer(modulus), Der::SmallInteger(65537)});
    Bytes spki = Der::Sequence({Der::Sequence({Der::Oid("1.2.840.113549.1.1.1"), Der::Null()}), Der::BitString(rsaKey)});
    Bytes tbs = Der::Sequence({
        Der::Tlv(Der::CONTEXT_0, Der::SmallInteger(2)),
        Der::Integer(serial),
        sigAlg,
        Name(toUtf8(params.issuerCn)),
        Der::Sequence({Der::Time(params.notBefore), Der::Time(params.notAfter)}),
        Name(toUtf8(params.subjectCn)),
        spki,
    });
    return Der::Sequence({tbs, sigAlg, Der::BitString(Filler(128, seed + 1))});
}

Bytes BuildCertificate(const CertSpec &params, TextToUtf8Fn toUtf8)
{
    if (!toUtf8)
        toUtf8 = IdentityUtf8;
    switch (params.kind) {
    case CERT_BUILT:
        return Built(params, toUtf8);
    case CERT_TRUNCATED: {
        Bytes full = Built(params, toUtf8);
        full.resize(full.size() / 2);
        return full;
    }
    case CERT_GARBAGE: {
        Bytes g = Filler(300, 7);
        g[0] = 0x5A; // not a SEQUENCE
        return g;
    }
    default:
        return Bytes();
    }
}
