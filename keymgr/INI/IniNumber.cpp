#include "keymgr/INI/IniNumber.h"

#include "keymgr/INI/store/IniName.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

long long ParseWide(const std::string &text, int base)
{
    return strtoll(text.c_str(), NULL, IniBase(base));
}

bool FitsBitPattern(long long v)
{
    return v >= (long long)INT_MIN && v <= (long long)UINT_MAX;
}

std::string FormatBinary(unsigned long long value)
{
    char digits[65];
    size_t n = 0;
    do {
        digits[n++] = (char)('0' + (value & 1u));
        value >>= 1;
    } while (value && n < 64);
    std::string out;
    while (n)
        out += digits[--n];
    return out;
}

std::string Format(const char *format, unsigned value)
{
    char text[40];
    snprintf(text, sizeof(text), format, value);
    return text;
}

} // namespace

int IniBase(int base)
{
    return (base == 2 || base == 8 || base == 16) ? base : 10;
}

int ParseIniInt(const std::string &text, int base)
{
    long long v = ParseWide(text, base);
    if (IniBase(base) != 10 && FitsBitPattern(v))
        return (int)(unsigned)(unsigned long long)v;
    if (v < INT_MIN)
        return INT_MIN;
    if (v > INT_MAX)
        return INT_MAX;
    return (int)v;
}

unsigned ParseIniUInt(const std::string &text, int base)
{
    long long v = ParseWide(text, base);
    if (FitsBitPattern(v))
        return (unsigned)(unsigned long long)v;
    return v < 0 ? 0u : UINT_MAX;
}

double ParseIniDouble(const std::string &text)
{
    return strtod(text.c_str(), NULL);
}

bool ParseIniBool(const std::string &text)
{
    const char *t = text.c_str();
    if (IniNameEquals(t, "true") || IniNameEquals(t, "yes"))
        return true;
    return strtoll(t, NULL, 10) != 0;
}

std::string FormatIniInt(int value, int base)
{
    switch (IniBase(base)) {
    case 2:
        return FormatBinary((unsigned)value);
    case 8:
        return Format("%o", (unsigned)value);
    case 16:
        return Format("%X", (unsigned)value);
    default: {
        char text[40];
        snprintf(text, sizeof(text), "%d", value);
        return text;
    }
    }
}

std::string FormatIniUInt(unsigned value, int base)
{
    switch (IniBase(base)) {
    case 2:
        return FormatBinary(value);
    case 8:
        return Format("%o", value);
    case 16:
        return Format("%X", value);
    default:
        return Format("%u", value);
    }
}

std::string FormatIniDouble(double value, int precision)
{
    char format[32] = "%f";
    if (precision > 0)
        snprintf(format, sizeof(format), "%%.%df", precision);
    int n = snprintf(NULL, 0, format, value);
    if (n < 0)
        return std::string();
    std::vector<char> text((size_t)n + 1);
    snprintf(&text[0], text.size(), format, value);
    return std::string(&text[0], (size_t)n);
}
