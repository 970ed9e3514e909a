// The system check sequence and the queries behind its rows.
#pragma once

#include "assistant/engine/platform/Registry.h"
#include "assistant/engine/platform/SystemInfo.h"
#include "assistant/engine/run/CheckRun.h"
#include "assistant/engine/run/EngineAddresses.h"
#include "assistant/engine/system/OsVersion.h"
#include "assistant/engine/tables/RegistryTableCheck.h"
#include "assistant/engine/tables/SystemTables.h"

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
