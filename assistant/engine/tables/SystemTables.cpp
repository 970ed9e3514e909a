#include "assistant/engine/tables/SystemTables.h"

#include "common/BoundedCopy.h"

#include <string.h>

#define ZONES_2 "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2"
#define ROOT_CERT "SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\31BD6AEF73031C5A49338E7A06040DD815EF7512"

static const char kDomainsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains\\";

// The base table is empty: the registry row always passes.
const RegCheckEntry kBaseRegistryTable[kBaseRegistryCount] = {
    {0, "", kRegNone, "", {0}, {0}, 0, 0},
};

// Every URL action of the Trusted Sites zone that the controls need must be 0 (enabled).
const RegCheckEntry kTrustedZoneTable[kTrustedZoneCount] = {
    {kRootCurrentUser, ZONES_2, kRegDword, "2201", {0}, {0, 0, 0, 0}, 1, 0},
    {kRootCurrentUser, ZONES_2, kRegDword, "1405", {0}, {0, 0, 0, 0}, 1, 0},
    {kRootCurrentUser, ZONES_2, kRegDword, "1201", {0}, {0, 0, 0, 0}, 1, 0},
    {kRootCurrentUser, ZONES_2, kRegDword, "2000", {0}, {0, 0, 0, 0}, 1, 0},
    {kRootCurrentUser, ZONES_2, kRegDword, "1004", {0}, {0, 0, 0, 0}, 1, 0},
    {kRootCurrentUser, ZONES_2, kRegDword, "1001", {0}, {0, 0, 0, 0}, 1, 0},
    {kRootCurrentUser, ZONES_2, kRegDword, "1200", {0}, {0, 0, 0, 0}, 1, 0},
};

const RegKeyRef kRootCertKeysMachine[1] = {{kRootLocalMachine, ROOT_CERT}};
const RegKeyRef kRootCertKeysUser[1] = {{kRootCurrentUser, ROOT_CERT}};

static void SetSiteEntry(RegCheckEntry &entry, const std::string &domain, const char *host, const char *valueName)
{
    memset(&entry, 0, sizeof(entry));
    entry.RootKey = kRootCurrentUser;
    CopyBounded(entry.SubKey, sizeof(entry.SubKey), kDomainsKey);
    AppendBounded(entry.SubKey, sizeof(entry.SubKey), domain.c_str());
    if (host) {
        AppendBounded(entry.SubKey, sizeof(entry.SubKey), "\\");
        AppendBounded(entry.SubKey, sizeof(entry.SubKey), host);
    }
    entry.ValueType = kRegDword;
    CopyBounded(entry.ValueName, sizeof(entry.ValueName), valueName);
    entry.Expected[0] = 2;  // the Trusted Sites zone
    entry.CompareValue = 1;
}

void BuildTrustedSitesTable(const EngineAddresses &addresses, RegCheckEntry (&table)[kTrustedSitesCount])
{
    SetSiteEntry(table[0], addresses.bankDomain, "www", "http");
    SetSiteEntry(table[1], addresses.bankDomain, nullptr, "http");
    SetSiteEntry(table[2], addresses.ebankDomain, "ebank", "https");
    SetSiteEntry(table[3], addresses.caDomain, "cs", "http");
}
