// state.ini: the text form of SimState.
//   [config]      global keys (SimKeys), ReaderCount=N
//   [readerN]     one section per reader, N from 0
//   [end]         written last; its absence marks a cut-off file
// Values are raw ANSI bytes with \\ \n \r and \xHH escapes for control bytes.
#pragma once

#include "sim/core/SimState.h"

#include <string>

std::string WriteStateText(const SimState &state);

// Never fails: what cannot be read keeps its default and is listed in
// state.warnings. An empty text gives the state of a missing file
// (default configuration, one reader without a token).
SimState ParseStateText(const std::string &text, int64_t now);

std::string EscapeValue(const std::string &raw);
std::string UnescapeValue(const std::string &escaped);
