// Data blocks: bytes stored as upper-case hexadecimal digit pairs.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// Decodes a whole value; false for an odd length or any non-hex digit.
bool DecodeIniHex(const std::string &text, std::vector<uint8_t> &bytes);

// Each byte as "%02X".
std::string EncodeIniHex(const void *data, size_t length);
