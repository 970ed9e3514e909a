#include "sim/core/PinGrade.h"

#include <string.h>

uint32_t PasswordGrade(const char *text, int maxLength)
{
    if (!text || !*text)
        return 0;
    size_t limit = maxLength > 0 ? (size_t)maxLength : 65536;
    size_t n = strnlen(text, limit + 1);
    if (n > limit)
        return 0;
    bool digit = false, lower = false, upper = false, other = false;
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x20 || c == 0x7F)
            return 0;
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c >= 'a' && c <= 'z')
            lower = true;
        else if (c >= 'A' && c <= 'Z')
            upper = true;
        else
            other = true;
    }
    uint32_t points = n < 6 ? 1 : n < 8 ? 2 : n < 12 ? 3 : 4;
    uint32_t classes = (uint32_t)digit + lower + upper + other;
    uint32_t grade = points + classes - 1;
    return grade > 7 ? 7 : grade;
}

int TextHasDigit(const char *text)
{
    if (!text)
        return 0;
    for (; *text; ++text)
        if (*text >= '0' && *text <= '9')
            return 1;
    return 0;
}
