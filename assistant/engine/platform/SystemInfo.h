// What the system check asks the platform beyond the registry.
#pragma once

#include "assistant/engine/platform/OsVersionRecord.h"
#include "assistant/engine/platform/SystemFolders.h"

// The platform queries that are not plain registry reads.
class ISystemInfo : public ISystemFolders {
public:
    virtual OsVersionRecord ReadVersionRecord() = 0;
    virtual int GetUserRole() = 0;                    // 0 or 1 administrator, 2 user, 3 guest
    virtual int ProbeNetwork(const char *url) = 0;    // 1 = reachable
};
