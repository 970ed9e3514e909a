// Zeroing the buffers that held a PIN (PINs are secrets).
#pragma once

#include <stddef.h>

#include <string>

// Zeroes a string's bytes before it is emptied.
void WipePin(std::string *pin);
// Zeroes a whole buffer that held a PIN, not only up to its first NUL.
void WipePin(char *pin, size_t size);
