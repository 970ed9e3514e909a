// When the selection handler tries the library's default PIN on a token:
// with the PIN mode on, once per insertion of that token, and never when a
// wrong PIN would lock it. Each failed try costs the token one of its tries.
#pragma once

#include <stdint.h>

#include <mutex>
#include <set>
#include <string>

class DefaultPinTries {
public:
    // The insertion handler took a token in reader: its next selection may try.
    void Arm(const char *reader);
    // The first selection of reader since its insertion: true once, then
    // false until the next insertion.
    bool Take(const char *reader);

private:
    // The insertion handlers run on the library's threads, the selection on
    // the window's.
    std::mutex m_lock;
    std::set<std::string> m_armed;
};

// The process-wide record.
DefaultPinTries &PendingDefaultPinTries();

// Whether the default PIN may be tried on a token with these tries left:
// only when they could be read and a failure still leaves one.
bool DefaultPinMayBeTried(bool retriesRead, uint32_t retries);
