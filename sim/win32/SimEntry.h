// The frame of every exported entry point: test hooks, the state lock and
// the call log.
#pragma once

#include "keymgr/library/TokenEntries.h"
#include "sim/core/CallLogLine.h"
#include "sim/core/CertBuilder.h"
#include "sim/core/SimState.h"

#include <functional>
#include <string>

// Operation on the state under the lock; set changed to have it saved.
typedef std::function<uint32_t(SimState &state, bool &changed)> SimOp;

// Applies delay.<entry> (sleeps first, outside the lock) and fail.<entry>
// (returns that code without running op), the reader's own hooks winning
// over the global ones; otherwise runs op. Then appends line with the
// result to calls.log.
uint32_t RunEntry(const char *entry, const std::string &reader, CallLogLine &line, const SimOp &op);

// Replaces *length by the value of the len.<entry> hook, if one is set.
void ApplyLengthHook(const SimState &state, const char *entry, uint32_t *length);

// The token in the named reader: NULL with SIM_ERR_NO_READER or
// SIM_ERR_NO_TOKEN in *rc.
Reader *TokenIn(SimState &state, const char *reader, uint32_t *rc);

// Device handles of QKConnectDev name a reader by its index.
TokHandle HandleForReader(int index);
int ReaderIndexOfHandle(TokHandle handle); // -1 for a handle we never gave out
std::string ReaderNameOfHandle(TokHandle handle);
Reader *TokenOfHandle(SimState &state, TokHandle handle, uint32_t *rc);

// ANSI (GBK) to UTF-8 for certificate names.
std::string AnsiToUtf8(const std::string &ansi);

// Copies text into a buffer of size bytes (NUL included), GBK-safe.
void PutText(char *buffer, size_t size, const std::string &text);

// Appends a line that is not an entry-point call (watcher events).
void LogEvent(const std::string &line);
