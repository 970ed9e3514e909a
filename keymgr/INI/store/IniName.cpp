#include "keymgr/INI/store/IniName.h"

#include "common/Gbk.h"

namespace {

unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

bool IsIniBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool IniNameEquals(const char *a, const char *b)
{
    if (!a || !b)
        return a == b;
    size_t i = 0;
    for (;;) {
        unsigned char ca = (unsigned char)a[i];
        unsigned char cb = (unsigned char)b[i];
        if (ca == '\0' || cb == '\0')
            return ca == cb;
        if (GbkIsLeadByte(ca) && a[i + 1] != '\0') {
            // A double-byte character matches only byte for byte.
            if (ca != cb || a[i + 1] != b[i + 1])
                return false;
            i += 2;
            continue;
        }
        if (FoldAscii(ca) != FoldAscii(cb))
            return false;
        ++i;
    }
}

std::string IniTrim(const std::string &text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsIniBlank(text[begin]))
        ++begin;
    while (end > begin && IsIniBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}
