// Splits one fuzzer input into the pieces a target needs, so that every
// byte of the input counts and the same input always gives the same pieces.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }

    uint8_t Byte()
    {
        return m_pos < m_size ? m_data[m_pos++] : 0;
    }

    uint32_t Word()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(Byte()) << (8 * i);
        return v;
    }

    double Double()
    {
        uint64_t bits = static_cast<uint64_t>(Word()) | (static_cast<uint64_t>(Word()) << 32);
        double d;
        memcpy(&d, &bits, sizeof d);
        return d;
    }

    // Up to the next '\x01' (or the end): the separator never appears inside.
    std::string Text()
    {
        std::string s;
        while (m_pos < m_size && m_data[m_pos] != 1)
            s += static_cast<char>(m_data[m_pos++]);
        if (m_pos < m_size)
            ++m_pos;
        return s;
    }

    std::string Rest()
    {
        std::string s(reinterpret_cast<const char *>(m_data + m_pos), m_size - m_pos);
        m_pos = m_size;
        return s;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A violated property aborts, so the fuzzer keeps the input.
#define FUZZ_REQUIRE(cond) \
    do { \
        if (!(cond)) \
            __builtin_trap(); \
    } while (0)
