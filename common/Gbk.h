// GBK byte-string helpers. Lengths are bytes: a Chinese character counts two.
#pragma once

#include <stddef.h>

inline bool GbkIsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

// The largest cut <= limit of the first limit bytes of text that does not
// separate a lead byte from its trail byte.
size_t GbkSafeCut(const char *text, size_t limit);

// Where the last '\\' separator of the first length bytes of text is, or
// GBK_NONE. A trail byte that happens to be 0x5C is not a separator.
enum : size_t { GBK_NONE = (size_t)-1 };
size_t GbkLastBackslash(const char *text, size_t length);
