#include "sim/core/CspBlock.h"

#include <string.h>

static void Put32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

uint32_t BuildCspBlock(const Reader &reader, TextToUtf8Fn toUtf8, uint8_t *buffer, uint32_t *length)
{
    if (!length)
        return SIM_ERR_BAD_ARGUMENT;
    if (!buffer || *length < CSP_BLOCK_SIZE) {
        *length = CSP_BLOCK_SIZE;
        return SIM_ERR_BUFFER_TOO_SMALL;
    }
    memset(buffer, 0, CSP_BLOCK_SIZE);
    for (int i = 0; i < SIM_CONTAINERS; ++i) {
        const Container &c = reader.containers[i];
        uint8_t *rec = buffer + (size_t)i * CSP_RECORD_STRIDE;
        if (!c.inUse && c.keyFlags == 0)
            continue;
        Put32(rec + CSP_OFF_KEY_FLAGS, c.keyFlags);
        Put32(rec + CSP_OFF_EXCHANGE_LEN, (uint32_t)BuildCertificate(c.exchange, toUtf8).size());
        Put32(rec + CSP_OFF_SIGNATURE_LEN, (uint32_t)BuildCertificate(c.signature, toUtf8).size());
        Put32(rec + CSP_OFF_IN_USE, c.inUse ? 1 : 0);
        std::string name = BoundText(c.name, CSP_NAME_MAX - 1);
        memcpy(rec + CSP_OFF_NAME, name.c_str(), name.size() + 1);
    }
    *length = CSP_BLOCK_SIZE;
    return 0;
}

uint32_t ReadContainerCert(const Reader &reader, TextToUtf8Fn toUtf8, const char *container, int keySpec,
                           uint8_t *buffer, uint32_t *length)
{
    if (!container || !length || (keySpec != 1 && keySpec != 2))
        return SIM_ERR_BAD_ARGUMENT;
    for (int i = 0; i < SIM_CONTAINERS; ++i) {
        const Container &c = reader.containers[i];
        if (!c.inUse || c.name != container)
            continue;
        Bytes der = BuildCertificate(keySpec == 1 ? c.exchange : c.signature, toUtf8);
        if (der.empty())
            return SIM_ERR_NO_CERT;
        if (!buffer) {
            *length = (uint32_t)der.size();
            return 0;
        }
        if (*length < der.size()) {
            *length = (uint32_t)der.size();
            return SIM_ERR_BUFFER_TOO_SMALL;
        }
        memcpy(buffer, der.data(), der.size());
        *length = (uint32_t)der.size();
        return 0;
    }
    return SIM_ERR_NO_CERT;
}

std::string RegisteredCertText(const Reader &reader, int *count)
{
    std::string names;
    int n = 0;
    for (int i = 0; i < SIM_CONTAINERS; ++i) {
        const Container &c = reader.containers[i];
        if (!c.inUse)
            continue;
        const CertSpec *certs[2] = {&c.exchange, &c.signature};
        for (int k = 0; k < 2; ++k) {
            if (certs[k]->kind != CERT_BUILT || !(c.keyFlags & (1u << k)))
                continue;
            if (n++)
                names += "、";
            names += certs[k]->subjectCn;
        }
    }
    if (count)
        *count = n;
    return n ? "已将证书注册到浏览器：" + names : std::string();
}
