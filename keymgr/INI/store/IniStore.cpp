#include "keymgr/INI/store/IniStore.h"

int IIniStore::GetInt(const char *section, const char *key, int def, const char *file)
{
    char text[32];
    if (GetString(section, key, "", text, sizeof(text), file) == 0 || !text[0])
        return def;
    const char *p = text;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    unsigned value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<unsigned>(*p - '0');
    return static_cast<int>(negative ? 0u - value : value);
}
