// The customer identifier of the first present token.
#pragma once

#include <stddef.h>

enum { CUSTOMER_ID_BUFFER_SIZE = 256 };

// Fills buffer (CUSTOMER_ID_BUFFER_SIZE bytes, zeroed here) with the
// identifier text; failures leave it empty.
void ReadCustomerId(char *buffer);
