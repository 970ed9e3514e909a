// Registering the device-change handlers for each listed reader, and the
// question the token icon asks: is any token still in a reader?
#pragma once

#include "keymgr/library/TokenEntries.h"
#include "keymgr/shell/token/ReaderList.h"

#include <stddef.h>

// Called for a reader whose token is present before its handlers are registered.
typedef void (*PresentReaderFunc)(const char *reader);

// For each reader: a present token is handled at once, then both handlers
// are registered with the reader name as context. A reader whose state or
// registration fails is skipped; the readers after it are still watched.
// Returns how many readers were registered.
size_t WatchReaders(const ReaderList &readers, TokDevChgFunc onInserted, TokDevChgFunc onRemoved,
                    PresentReaderFunc present);

// True when some listed reader reports a token.
bool AnyTokenPresent(const ReaderList &readers);
