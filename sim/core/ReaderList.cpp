#include "sim/core/ReaderList.h"

#include <string.h>

uint32_t ListReaders(const SimState &state, char *buffer, uint32_t *size, uint32_t *count)
{
    if (!size)
        return SIM_ERR_BAD_ARGUMENT;
    std::string list;
    for (const Reader &r : state.readers) {
        list += r.name;
        list += '\0';
    }
    list += '\0';
    uint32_t needed = (uint32_t)list.size();
    if (count)
        *count = (uint32_t)state.readers.size();
    if (!buffer) {
        *size = needed;
        return 0;
    }
    if (*size < needed) {
        *size = needed;
        return SIM_ERR_BUFFER_TOO_SMALL;
    }
    memcpy(buffer, list.data(), needed);
    *size = needed;
    return 0;
}
