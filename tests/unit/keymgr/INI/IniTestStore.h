// A memory store that records the sizes CIni asks it to fill.
#pragma once

#include "keymgr/INI/store/MemoryIniStore.h"

#include <vector>

class CountingIniStore : public CMemoryIniStore {
public:
    size_t GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                     const char *file) override
    {
        valueSizes.push_back(size);
        return CMemoryIniStore::GetString(section, key, def, buffer, size, file);
    }
    size_t GetSection(const char *section, char *buffer, size_t size, const char *file) override
    {
        listSizes.push_back(size);
        return CMemoryIniStore::GetSection(section, buffer, size, file);
    }
    size_t GetSectionNames(char *buffer, size_t size, const char *file) override
    {
        listSizes.push_back(size);
        return CMemoryIniStore::GetSectionNames(buffer, size, file);
    }

    std::vector<size_t> valueSizes;
    std::vector<size_t> listSizes;
};
