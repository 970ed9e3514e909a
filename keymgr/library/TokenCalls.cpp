#include "keymgr/library/TokenCalls.h"

#include "common/BoundedCopy.h"

size_t LoadText(const char *section, const char *key, char *out, size_t size)
{
    return CopyBounded(out, size, Tok::LngLoadString(section, key));
}
