#include "common/WipePin.h"

void WipePin(char *pin, size_t size)
{
    // Volatile, so that the stores are not dropped as dead.
    volatile char *bytes = pin;
    for (size_t i = 0; bytes && i < size; ++i)
        bytes[i] = 0;
}

void WipePin(std::string *pin)
{
    if (!pin->empty())
        WipePin(&(*pin)[0], pin->size());
    pin->clear();
}
