#include "keymgr/INI/language/LanguageItem.h"

#include <stdio.h>
#include <string.h>

void FormatLanguageItem(unsigned languageId, char out[LANGUAGE_ITEM_SIZE])
{
    snprintf(out, LANGUAGE_ITEM_SIZE, "%04X", languageId & 0xFFFFu);
}

bool LanguageItemNeedsChange(const char *systemItem, const char *libraryItem)
{
    if (!libraryItem)
        return true;
    return strcmp(systemItem, libraryItem) != 0;
}
