// Strength grading of a typed PIN.
#pragma once

#include <stdint.h>

// 1..7 from the length (under 6, 6-7, 8-11, 12 or more bytes: 1 to 4 points)
// plus one point for each character class beyond the first (digits, lower
// case, upper case, anything else). 0 for NULL, an empty text, a control
// character, or a text longer than maxLength bytes (maxLength <= 0: no limit).
uint32_t PasswordGrade(const char *text, int maxLength);

// 1 when the text holds a decimal digit, else 0.
int TextHasDigit(const char *text);
