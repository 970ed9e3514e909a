// The token's one data file that holds the PIN-change tag.
#pragma once

#include "sim/core/SimState.h"

// TOK_ERR_NO_FILE when absent; SIM_ERR_BUFFER_TOO_SMALL (with the size in
// *length) when the content does not fit; else the content and its size.
uint32_t ReadPinTagFile(const Reader &reader, uint8_t *buffer, uint32_t *length);

// Creates the file empty; SIM_ERR_FILE_EXISTS when it is there already,
// SIM_ERR_BAD_ARGUMENT for a size of 0 or above 260.
uint32_t CreatePinTagFile(Reader &reader, uint32_t size);

// Replaces the content; TOK_ERR_NO_FILE when absent, SIM_ERR_BAD_ARGUMENT
// for more than 260 bytes or no data.
uint32_t WritePinTagFile(Reader &reader, const uint8_t *data, uint32_t length);
