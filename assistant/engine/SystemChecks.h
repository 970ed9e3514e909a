// The system check sequence and the queries behind its rows.
#pragma once

#include "assistant/engine/CheckRun.h"
#include "assistant/engine/EngineAddresses.h"
#include "assistant/engine/OsVersion.h"
#include "assistant/engine/Registry.h"
#include "assistant/engine/RegistryTableCheck.h"
#include "assistant/engine/SystemTables.h"

// The platform queries that are not plain registry reads.
class ISystemInfo : public ISystemFolders {
public:
    virtual OsVersionRecord ReadVersionRecord() = 0;
    virtual int GetUserRole() = 0;                    // 0 or 1 administrator, 2 user, 3 guest
    virtual int ProbeNetwork(const char *url) = 0;    // 1 = reachable
};

class SystemChecks {
public:
    SystemChecks(CheckRun &run, IRegistry &registry, ISystemInfo &system, const EngineAddresses &addresses)
        : m_run(run), m_registry(registry), m_system(system), m_addresses(addresses) {}

    // Always 1. standAlone: command 3, which ends with its own end-of-run signal.
    int RunSystemChecks(bool standAlone);

    std::string GetOsText();
    std::string GetIeVersionText();
    int GetAutoplayState();
    bool IsRootCertInstalled();
    int CheckRegistryTable(RegCheckEntry *entries, int count, int vendorFlag);

private:
    void Report(const char *code, int progress, const char *logLine);

    CheckRun &m_run;
    IRegistry &m_registry;
    ISystemInfo &m_system;
    const EngineAddresses &m_addresses;
};
