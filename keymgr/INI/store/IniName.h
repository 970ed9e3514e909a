// Comparison and trimming of INI names and values.
#pragma once

#include <string>

// Section and key names compare without regard to case. Only single-byte
// letters fold: the trail byte of a GBK character may look like a letter
// and must stay as it is.
bool IniNameEquals(const char *a, const char *b);

// Blanks, tabs, CR and LF removed from both ends.
std::string IniTrim(const std::string &text);
