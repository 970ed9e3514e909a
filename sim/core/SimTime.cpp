#include "sim/core/SimTime.h"

#include <stdio.h>
#include <stdlib.h>

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
static int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = (unsigned)(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (int64_t)doe - 719468;
}

int64_t CivilToSeconds(const CivilTime &t)
{
    return DaysFromCivil(t.year, (unsigned)t.month, (unsigned)t.day) * 86400 + t.hour * 3600 + t.minute * 60 +
           t.second;
}

CivilTime SecondsToCivil(int64_t seconds)
{
    int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    int64_t rest = seconds - days * 86400;
    int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = (unsigned)(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    CivilTime t;
    t.day = (int)(doy - (153 * mp + 2) / 5 + 1);
    t.month = (int)(mp < 10 ? mp + 3 : mp - 9);
    t.year = (int)((int64_t)yoe + era * 400 + (t.month <= 2));
    t.hour = (int)(rest / 3600);
    t.minute = (int)(rest % 3600 / 60);
    t.second = (int)(rest % 60);
    return t;
}

std::string FormatTime(int64_t seconds)
{
    CivilTime t = SecondsToCivil(seconds);
    char text[40];
    snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour, t.minute,
             t.second);
    return text;
}

static bool ParseInt(const std::string &text, int64_t *out)
{
    if (text.empty() || text.size() > 15)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    *out = strtoll(text.c_str(), NULL, 10);
    return true;
}

// The times the state file can write and read back: years 1950 to 9999.
static const int64_t kEarliest = -631152000;  // 1950-01-01T00:00:00Z
static const int64_t kLatest = 253402300799;  // 9999-12-31T23:59:59Z

static bool InRange(int64_t t)
{
    return t >= kEarliest && t <= kLatest;
}

bool ParseTime(const std::string &text, int64_t now, int64_t *out)
{
    if (text == "now") {
        *out = now;
        return true;
    }
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        std::string body = text.substr(1);
        int64_t unit = 1;
        if (!body.empty()) {
            switch (body[body.size() - 1]) {
            case 'd': unit = 86400; break;
            case 'h': unit = 3600; break;
            case 'm': unit = 60; break;
            case 's': unit = 1; break;
            default: unit = 0; break;
            }
            if (unit)
                body.erase(body.size() - 1);
            else
                unit = 1;
        }
        int64_t n;
        if (!ParseInt(body, &n) || n > (kLatest - kEarliest) / unit)
            return false;
        int64_t t = now + (text[0] == '-' ? -n : n) * unit;
        if (!InRange(t))
            return false;
        *out = t;
        return true;
    }
    if (!text.empty() && text[0] == '@') {
        int64_t n;
        if (!ParseInt(text.substr(1), &n) || !InRange(n))
            return false;
        *out = n;
        return true;
    }
    CivilTime t = {0, 0, 0, 0, 0, 0};
    char sep = 0, z = 0, extra = 0;
    int fields = sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c%c", &t.year, &t.month, &t.day, &sep, &t.hour,
                        &t.minute, &t.second, &z, &extra);
    bool dateOnly = fields == 3;
    bool dateTime = (fields == 7 || (fields == 8 && z == 'Z')) && (sep == 'T' || sep == ' ');
    if (!dateOnly && !dateTime)
        return false;
    if (t.year < 1950 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 ||
        t.minute > 59 || t.second > 59 || t.hour < 0 || t.minute < 0 || t.second < 0)
        return false;
    *out = CivilToSeconds(t);
    return true;
}
