// Numbers and truth values in INI values.
#pragma once

#include <string>

// 2, 8 and 16 stay; any other base means 10.
int IniBase(int base);

// Conversions of a non-empty value. Text that is not a number gives 0.
// Base 10 clamps to the type's range. In bases 2, 8 and 16 a value that fits
// 32 bits is taken as a bit pattern, so what FormatIniInt wrote for a
// negative number reads back as that number.
int ParseIniInt(const std::string &text, int base);
unsigned ParseIniUInt(const std::string &text, int base);
double ParseIniDouble(const std::string &text);

// "true" or "yes" in any case, or a non-zero decimal number.
bool ParseIniBool(const std::string &text);

// Base 10 "%d" (unsigned: "%u"), 8 "%o", 16 "%X", 2 the binary digits most
// significant first without leading zeros.
std::string FormatIniInt(int value, int base);
std::string FormatIniUInt(unsigned value, int base);

// "%f", or "%.Nf" when precision N > 0.
std::string FormatIniDouble(double value, int precision);
