// How many insertions and removals the device watch has seen on each reader:
// a dialog that noted the count when it opened knows, by an unchanged count,
// that its token never left, also for a token whose serial cannot be read.
#pragma once

#include <stdint.h>

// The handlers call it for every insertion and removal of reader.
void NoteReaderEvent(const char *reader);

// The number of events seen on reader so far (0 for a reader never seen).
uint32_t ReaderEventCount(const char *reader);
