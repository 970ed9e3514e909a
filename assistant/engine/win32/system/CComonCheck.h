// The operating-system queries of the checks: version record, the desktop
// user's role, the system directory and the network probe.
#pragma once

#include "assistant/engine/platform/SystemInfo.h"

#include <windows.h>

#include <string>
#include <vector>

class CComonCheck : public ISystemInfo {
public:
    CComonCheck() : m_netApi(NULL) {}
    virtual ~CComonCheck();

    OsVersionRecord ReadVersionRecord() override;
    // Judged by the account that owns the desktop shell, not by this process.
    int GetUserRole() override;
    int ProbeNetwork(const char *url) override;
    std::string SystemDirectory() override;

private:
    bool ShellUserName(std::string *user);
    bool LocalGroups(const std::string &user, std::vector<std::string> *groups);

    HMODULE m_netApi;
};
