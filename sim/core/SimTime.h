// Calendar arithmetic in UTC without the C library's time zone rules.
#pragma once

#include <stdint.h>

#include <string>

struct CivilTime {
    int year, month, day, hour, minute, second;
};

int64_t CivilToSeconds(const CivilTime &t); // seconds since 1970-01-01 00:00 UTC
CivilTime SecondsToCivil(int64_t seconds);

// "2027-03-05T12:00:00Z"
std::string FormatTime(int64_t seconds);

// Accepts "now", "+3d", "-2h", "+259200s", "+10m" (relative to now),
// "2027-03-05", "2027-03-05T12:00:00" or "2027-03-05 12:00:00" with an optional
// trailing "Z", and a plain number of seconds since 1970 ("@1700000000").
// Returns false for anything else, and for a time outside the years 1950 to
// 9999 (out untouched).
bool ParseTime(const std::string &text, int64_t now, int64_t *out);
