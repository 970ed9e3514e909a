// The table of tokens whose PIN code was verified at insertion: 10 entries
// of a reader name and a verified flag. Names are kept and compared whole:
// real reader names often differ only in their last characters. An entry
// whose name is shorter than 2 characters is free.
#pragma once

#include <stdint.h>

#include <mutex>

enum { READER_SLOT_COUNT = 10, READER_SLOT_NAME = 256 };

struct ReaderSlot {
    char name[READER_SLOT_NAME];
    uint32_t verified;
};

class ReaderSlots {
public:
    ReaderSlots();
    // Overwrites the entry with the same name, else takes the first free
    // one; with no free entry, or a name of 256 bytes or more, nothing is
    // stored (returns false).
    bool Store(const char *reader, uint32_t verified);
    // A copy of the reader's entry; false when it has none.
    bool Find(const char *reader, ReaderSlot *out) const;
    // Clears the reader's flag in one step; true when it was set.
    bool TakeVerified(const char *reader);
    void Reset();

private:
    ReaderSlot *Slot(const char *reader);

    // The insertion and removal handlers and the view's listing run on
    // different threads.
    mutable std::mutex m_lock;
    ReaderSlot m_slots[READER_SLOT_COUNT];
};

// The process-wide table (insertion/removal handlers and the view).
ReaderSlots &VerifiedReaders();
