#include "keymgr/pages/deviceinfo/CustomerId.h"

#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/token/ReaderListRead.h"

#include <string.h>

void ReadCustomerId(char *buffer)
{
    memset(buffer, 0, CUSTOMER_ID_BUFFER_SIZE);
    ReaderList readers;
    if (ReadReaderList(readers) != 0)
        return;
    for (size_t i = 0; i < readers.Size(); ++i) {
        const char *name = readers.Name(i);
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
    buffer[CUSTOMER_ID_BUFFER_SIZE - 1] = '\0';
}
