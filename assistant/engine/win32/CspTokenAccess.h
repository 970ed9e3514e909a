// The token through the vendor's CSP, and the vendor manager's mutex.
#pragma once

#include "assistant/engine/platform/ClientPlatform.h"

class CCspTokenAccess : public ITokenAccess {
public:
    uint32_t AcquireContext(const char *cspName) override;
    int CountContainers(const char *cspName) override;
    bool OpenNamedMutex(const char *name, uint32_t *lastError) override;
};
