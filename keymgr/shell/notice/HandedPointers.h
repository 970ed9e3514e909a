// Heap records that library threads hand to the window in posted messages.
// Any process on the desktop can post the same message numbers, so the
// window frees only what was handed out here, and each only once.
#pragma once

#include <stddef.h>

#include <mutex>
#include <set>

class HandedPointers {
public:
    void Hand(void *record);
    // True once for a record handed out and not yet taken back.
    bool Take(void *record);
    size_t Outstanding() const;

private:
    mutable std::mutex m_lock;
    std::set<void *> m_records;
};

// The frame's table (notices and certificate-notice jobs).
HandedPointers &FrameRecords();
