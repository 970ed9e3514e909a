#include "assistant/engine/platform/Registry.h"

#include <string.h>

bool IsNumberValue(uint32_t type, uint32_t size)
{
    return size == 4 && (type == kRegDword || type == kRegBinary);
}

bool ReadRegistryDword(IRegistryKey &key, const char *name, uint32_t *value)
{
    unsigned char data[4] = {0, 0, 0, 0};
    uint32_t type = kRegNone;
    uint32_t size = sizeof(data);
    // Policies are also stored as four binary bytes, read as the number
    // they hold; four bytes of a text are no number.
    if (key.QueryValue(name, &type, data, &size) != RegStatus::Ok || !IsNumberValue(type, size))
        return false;
    *value = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
    return true;
}

bool ReadRegistryString(IRegistryKey &key, const char *name, char *text, uint32_t size)
{
    if (!text || size == 0)
        return false;
    uint32_t type = kRegNone;
    uint32_t got = size;
    if (key.QueryValue(name, &type, reinterpret_cast<unsigned char *>(text), &got) != RegStatus::Ok ||
        (type != kRegSz && type != kRegExpandSz)) {
        // The bytes of a DWORD or a binary value are no text to show or compare.
        text[0] = '\0';
        return false;
    }
    // A value that fills the buffer without its NUL loses its last character.
    size_t length = strnlen(text, got < size ? got : size);
    text[length < size ? length : size - 1] = '\0';
    return true;
}
