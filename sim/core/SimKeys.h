// The KEY=VALUE vocabulary shared by state.ini and "tokensim set".
#pragma once

#include "sim/core/SimState.h"

#include <string>
#include <utility>
#include <vector>

typedef std::vector<std::pair<std::string, std::string>> KeyValues;

// Both return false with a reason in *error for an unknown key or a value
// that does not fit; the target is then unchanged. now is used by relative
// times ("+3d").
bool SetConfigKey(SimConfig &config, const std::string &key, const std::string &value, std::string *error);
bool SetReaderKey(Reader &reader, const std::string &key, const std::string &value, int64_t now,
                  std::string *error);

// Every key with its current value, in a stable order.
KeyValues ConfigKeyValues(const SimConfig &config);
KeyValues ReaderKeyValues(const Reader &reader);

// "0x88000001" or decimal; false for anything else.
bool ParseNumber(const std::string &text, uint32_t *out);

std::string HexEncode(const std::string &bytes);
bool HexDecode(const std::string &hex, std::string *bytes);
