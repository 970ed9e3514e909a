// The CSP control block: three container records of the token.
#pragma once

#include "sim/core/CertBuilder.h"
#include "sim/core/SimState.h"

enum : uint32_t {
    CSP_BLOCK_SIZE = 0xC0130,
    CSP_RECORD_STRIDE = 0x4005C,
    CSP_OFF_KEY_FLAGS = 0x1C,
    CSP_OFF_EXCHANGE_LEN = 0x20,
    CSP_OFF_SIGNATURE_LEN = 0x24,
    CSP_OFF_IN_USE = 0x28,
    CSP_OFF_NAME = 0x2C,
    CSP_NAME_MAX = 256, // bytes kept for a name, NUL included
};

// Fills the block when *length is at least CSP_BLOCK_SIZE (then *length =
// CSP_BLOCK_SIZE); otherwise SIM_ERR_BUFFER_TOO_SMALL with the size needed.
uint32_t BuildCspBlock(const Reader &reader, TextToUtf8Fn toUtf8, uint8_t *buffer, uint32_t *length);

// keySpec 1 exchange, 2 signature. SIM_ERR_NO_CERT for an unknown container
// or a missing certificate; SIM_ERR_BUFFER_TOO_SMALL (size in *length) when
// it does not fit; a NULL buffer only measures.
uint32_t ReadContainerCert(const Reader &reader, TextToUtf8Fn toUtf8, const char *container, int keySpec,
                           uint8_t *buffer, uint32_t *length);

// What CSPLoadCertToIE reports: "已将证书注册到浏览器：<CN>" with the subject
// names of the decodable certificates joined by "、"; "" when there are none.
std::string RegisteredCertText(const Reader &reader, int *count);
