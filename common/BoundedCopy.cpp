#include "common/BoundedCopy.h"

#include "common/Gbk.h"

#include <string.h>

size_t CopyBoundedN(char *dst, size_t size, const char *src, size_t srcLength)
{
    if (!dst || size == 0)
        return 0;
    size_t n = 0;
    if (src) {
        while (n < srcLength && src[n] != '\0')
            ++n;
    }
    if (n > size - 1)
        n = GbkSafeCut(src, size - 1);
    if (n)
        memcpy(dst, src, n);
    dst[n] = '\0';
    return n;
}

size_t CopyBounded(char *dst, size_t size, const char *src)
{
    return CopyBoundedN(dst, size, src, (size_t)-1);
}

size_t AppendBounded(char *dst, size_t size, const char *src)
{
    if (!dst || size == 0)
        return 0;
    size_t used = strnlen(dst, size);
    if (used >= size) {
        dst[size - 1] = '\0';
        return size - 1;
    }
    return used + CopyBounded(dst + used, size - used, src);
}
