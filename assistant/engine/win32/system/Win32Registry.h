// The checks' registry interface over the real registry.
#pragma once

#include "assistant/engine/platform/Registry.h"

class CWin32Registry : public IRegistry {
public:
    std::unique_ptr<IRegistryKey> OpenKey(uint32_t root, const char *subKey) override;
};
