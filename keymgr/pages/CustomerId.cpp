#include "keymgr/pages/CustomerId.h"

#include "keymgr/library/TokenCalls.h"

#include <stdlib.h>
#include <string.h>

void ReadCustomerId(char *buffer)
{
    memset(buffer, 0, CUSTOMER_ID_BUFFER_SIZE);
    uint32_t size = 0, unused = 0;
    if (Tok::QKListReaders(static_cast<char *>(NULL), &size, &unused) != 0 || size == 0)
        return;
    // Two spare zero bytes: the walk below ends even on a list the library
    // did not terminate.
    char *list = static_cast<char *>(calloc(size + 2, 1));
    if (!list)
        return;
    uint32_t filled = size;
    if (Tok::QKListReaders(list, &filled, &unused) == 0) {
        for (const char *name = list; *name && name < list + size; name += strlen(name) + 1) {
            uint32_t state = 0;
            if (Tok::QKGetDevState(name, &state) != 0)
                break;
            if (state != TOK_DEV_PRESENT)
                continue;
            TokHandle handle = NULL;
            if (Tok::QKConnectDev(name, &handle) == 0) {
                if (Tok::QKBeginTransaction(handle) == 0) {
                    uint32_t length = 4;
                    Tok::HWReadCID(handle, reinterpret_cast<uint8_t *>(buffer), &length);
                    Tok::QKEndTransaction(handle);
                }
                Tok::QKDisconnectDev(handle);
            }
            break;
        }
    }
    buffer[CUSTOMER_ID_BUFFER_SIZE - 1] = '\0';
    free(list);
}
