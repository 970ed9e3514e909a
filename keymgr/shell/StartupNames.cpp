#include "keymgr/shell/StartupNames.h"

#include "common/BoundedCopy.h"

#include <string.h>

char UserTitle[NAME_BUFFER_SIZE];
char HWName[NAME_BUFFER_SIZE];
char PopupTitle[NAME_BUFFER_SIZE];
int MinPinLen;
int MaxPinLen;

void ReadStartupName(char *target, NameQuery query)
{
    // The library is told of a 64-byte buffer; the margin only guards
    // against one that ignores it.
    char scratch[NAME_BUFFER_SIZE * 4];
    memset(scratch, 0, sizeof(scratch));
    memset(target, 0, NAME_BUFFER_SIZE);
    if (query(scratch) != 0)
        scratch[0] = '\0';
    scratch[sizeof(scratch) - 1] = '\0';
    CopyBounded(target, NAME_BUFFER_SIZE, scratch);
}
