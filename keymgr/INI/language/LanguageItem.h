// Alignment of the token library's language with the system's.
#pragma once

#include <stddef.h>

enum { LANGUAGE_ITEM_SIZE = 8 };

// "%04X" of a language identifier, e.g. 0x0804 -> "0804".
void FormatLanguageItem(unsigned languageId, char out[LANGUAGE_ITEM_SIZE]);

// True when the library's current item differs from the system's (a
// missing item counts as different).
bool LanguageItemNeedsChange(const char *systemItem, const char *libraryItem);
