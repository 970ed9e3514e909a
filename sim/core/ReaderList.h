// The reader list as the token command library hands it out.
#pragma once

#include "sim/core/SimState.h"

// Multi-string of every reader name (present or not), each NUL-terminated,
// ended by an empty name; *size = bytes including the final NUL, *count =
// number of readers (count may be NULL). A NULL buffer only measures; a
// buffer smaller than the list gives SIM_ERR_BUFFER_TOO_SMALL.
uint32_t ListReaders(const SimState &state, char *buffer, uint32_t *size, uint32_t *count);
