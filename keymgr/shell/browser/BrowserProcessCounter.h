// Counts the running browser processes for the browser-process watch.
#pragma once

#include <windows.h>

#include <vector>

// Counts running "iexplore.exe" processes cheaply: the handles of the ones
// already seen are polled together on every tick (one wait), and a process
// snapshot (about 3.5 ms under Wine) is taken only every SnapshotInterval
// ticks. A browser that ends is noticed on the next tick; a new one within
// one interval.
class BrowserProcessCounter {
public:
    enum { SnapshotInterval = 50 }; // ticks of 10 ms: 500 ms
    BrowserProcessCounter() : m_ticks(0) {}
    ~BrowserProcessCounter();
    int Count();
    // Lets go of the browsers seen; the next count takes a snapshot at once.
    void Forget();

private:
    void Snapshot();
    std::vector<HANDLE> m_handles;
    std::vector<DWORD> m_ids;
    int m_ticks;
};
