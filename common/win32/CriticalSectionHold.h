// Holds a critical section for a scope, released on every path.
#pragma once

#include <windows.h>

class CCriticalSectionHold {
public:
    explicit CCriticalSectionHold(CRITICAL_SECTION &cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~CCriticalSectionHold() { LeaveCriticalSection(&m_cs); }

private:
    CCriticalSectionHold(const CCriticalSectionHold &);
    CCriticalSectionHold &operator=(const CCriticalSectionHold &);
    CRITICAL_SECTION &m_cs;
};
