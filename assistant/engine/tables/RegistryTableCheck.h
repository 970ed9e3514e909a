// One record of a registry-check table and the check that walks such a table.
#pragma once

#include "assistant/engine/platform/Registry.h"
#include "assistant/engine/platform/SystemFolders.h"
#include "assistant/engine/run/CheckRun.h"

#include <stdint.h>

#include <string>

enum { kRegCheckTextSize = 260 };

struct RegCheckEntry {
    uint32_t RootKey;                        // 0 in the first entry: empty table
    char SubKey[kRegCheckTextSize];
    uint32_t ValueType;                      // overwritten with the type read
    char ValueName[kRegCheckTextSize];       // empty: only the key must exist
    unsigned char ReadBuffer[kRegCheckTextSize];
    unsigned char Expected[kRegCheckTextSize];
    unsigned char CompareValue;              // 1: the data must match Expected
    unsigned char IsCommandLine;             // 1: Expected is the tail of a command line
};

class RegistryTableCheck {
public:
    RegistryTableCheck(IRegistry &registry, ISystemFolders &folders, ILog &log)
        : m_registry(registry), m_folders(folders), m_log(log) {}

    // 1 when every entry passes; 0 at the first entry that fails (which
    // leaves one log line). Entries are updated in place (type, buffer).
    int CheckRegistryTable(RegCheckEntry *entries, int count, int vendorFlag);

private:
    bool CheckEntry(RegCheckEntry &entry, int vendorFlag);
    bool DataMatches(RegCheckEntry &entry, const std::string &text, int vendorFlag);
    std::string ModuleFolder(int vendorFlag);

    IRegistry &m_registry;
    ISystemFolders &m_folders;
    ILog &m_log;
};

const char *RegistryRootName(uint32_t root);
