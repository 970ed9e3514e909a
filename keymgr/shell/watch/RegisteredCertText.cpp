#include "keymgr/shell/watch/RegisteredCertText.h"

#include "keymgr/library/TokenCalls.h"

#include <string.h>

static uint32_t BoundedLength(uint32_t reported)
{
    return reported < CERT_TEXT_MAX_SIZE ? reported : CERT_TEXT_MAX_SIZE;
}

RegisteredCertText::RegisteredCertText() : m_buffer(1, '\0'), m_capacity(0) {}

void RegisteredCertText::Allocate()
{
    uint32_t length = 0;
    if (Tok::ZRGetRegCertInfoLen(&length) != 0)
        length = 0;
    m_capacity = BoundedLength(length);
    m_buffer.assign(static_cast<size_t>(m_capacity) + 1, '\0');
}

void RegisteredCertText::Release()
{
    m_buffer.assign(1, '\0');
    m_capacity = 0;
}

std::string RegisteredCertText::Load(const char *reader)
{
    uint32_t length = 0;
    if (Tok::ZRGetRegCertInfoLen(&length) != 0)
        length = 0;
    // Never more than was allocated, whatever the library says now.
    uint32_t bounded = length < m_capacity ? length : m_capacity;
    memset(&m_buffer[0], 0, m_buffer.size());
    uint32_t out1 = 0, out2 = 0, out3 = 0;
    // Its result is not looked at: whatever text it left is announced, and
    // the buffer was emptied first, so a call that wrote none gives none.
    Tok::CSPLoadCertToIE(reader, &out1, &out2, &out3, &m_buffer[0], &bounded);
    m_buffer[m_capacity] = '\0';
    return std::string(&m_buffer[0]);
}
