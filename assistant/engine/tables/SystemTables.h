// The fixed registry tables of the system check.
#pragma once

#include "assistant/engine/run/EngineAddresses.h"
#include "assistant/engine/tables/RegistryTableCheck.h"

enum { kBaseRegistryCount = 1, kTrustedSitesCount = 4, kTrustedZoneCount = 7 };

struct RegKeyRef {
    uint32_t RootKey;  // 0: empty list
    char SubKey[kRegCheckTextSize];
};

extern const RegCheckEntry kBaseRegistryTable[kBaseRegistryCount];
extern const RegCheckEntry kTrustedZoneTable[kTrustedZoneCount];
extern const RegKeyRef kRootCertKeysMachine[1];
extern const RegKeyRef kRootCertKeysUser[1];

// The trusted-sites entries name the domains, which a test may replace.
void BuildTrustedSitesTable(const EngineAddresses &addresses, RegCheckEntry (&table)[kTrustedSitesCount]);
