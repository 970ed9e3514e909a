// The text CSPLoadCertToIE leaves for the certificate notice, in a buffer
// of the size ZRGetRegCertInfoLen names. Not locked: the device lock guards it.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Far more than any notice shows; a larger length is a damaged reply.
enum : uint32_t { CERT_TEXT_MAX_SIZE = 0x10000 };

class RegisteredCertText {
public:
    RegisteredCertText();
    // Sizes the (zeroed) buffer from ZRGetRegCertInfoLen, at most CERT_TEXT_MAX_SIZE.
    void Allocate();
    void Release();
    uint32_t Capacity() const { return m_capacity; }
    // Registers the reader's certificates in the browser store and returns
    // the text the call left for that reader's notice, whatever its result;
    // empty when it left none, so no earlier token's text is announced again.
    std::string Load(const char *reader);

private:
    std::vector<char> m_buffer; // m_capacity + 1 bytes
    uint32_t m_capacity;
};
