#include "common/Gbk.h"

size_t GbkSafeCut(const char *text, size_t limit)
{
    size_t i = 0;
    while (i < limit && text[i] != '\0') {
        size_t step = (GbkIsLeadByte((unsigned char)text[i]) && text[i + 1] != '\0') ? 2 : 1;
        if (i + step > limit)
            break;
        i += step;
    }
    return i;
}

size_t GbkLastBackslash(const char *text, size_t length)
{
    size_t found = GBK_NONE;
    for (size_t i = 0; i < length; ++i) {
        if (GbkIsLeadByte((unsigned char)text[i]) && i + 1 < length)
            ++i;
        else if (text[i] == '\\')
            found = i;
    }
    return found;
}
