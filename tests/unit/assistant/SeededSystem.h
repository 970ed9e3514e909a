// A registry in which every system-check row passes.
#pragma once

#include "assistant/engine/run/EngineAddresses.h"
#include "tests/unit/assistant/EngineFakes.h"

inline void SeedPassingSystem(FakeRegistry &reg, const EngineAddresses &a)
{
    const std::string domains = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains\\";
    const std::string zone = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2";
    const std::string policies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    reg.SetString(kRootLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", "Version", "8.0.7601.17514");
    reg.SetDword(kRootLocalMachine, policies, "NoDriveTypeAutoRun", 0x91);
    reg.SetDword(kRootCurrentUser, policies, "NoDriveTypeAutoRun", 0x91);
    reg.SetDword(kRootCurrentUser, domains + a.bankDomain + "\\www", "http", 2);
    reg.SetDword(kRootCurrentUser, domains + a.bankDomain, "http", 2);
    reg.SetDword(kRootCurrentUser, domains + a.ebankDomain + "\\ebank", "https", 2);
    reg.SetDword(kRootCurrentUser, domains + a.caDomain + "\\cs", "http", 2);
    for (const char *name : {"2201", "1405", "1201", "2000", "1004", "1001", "1200"})
        reg.SetDword(kRootCurrentUser, zone, name, 0);
    reg.AddKey(kRootLocalMachine,
               "SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\31BD6AEF73031C5A49338E7A06040DD815EF7512");
}
