#include "assistant/engine/worker/CommandRunner.h"

const char *VendorProviderKey(int vendor)
{
    switch (vendor) {
    case 1:
        return "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\LCCB VK820Auto CSP v1.0";
    case 2:
        return "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Zanvo Cryptographic Service Provider";
    default:
        return nullptr;
    }
}

namespace {
// Whatever happens inside a command, the dialog must not stay busy.
class BusyGuard {
public:
    explicit BusyGuard(CommandState &state) : m_state(state) { m_state.Busy = 1; }
    ~BusyGuard() { m_state.Busy = 0; }

private:
    CommandState &m_state;
};

// Declared first, so it ends last: once WorkerRunning is 0 the dialog may go
// away, so nothing of the state may be touched after it.
class WorkerEndGuard {
public:
    explicit WorkerEndGuard(CommandState &state) : m_state(state) {}
    ~WorkerEndGuard() { m_state.WorkerRunning = 0; }

private:
    CommandState &m_state;
};
}

int CommandRunner::Run()
{
    WorkerEndGuard end(m_run.State());
    m_services.ssl.ClearSslState();
    BusyGuard busy(m_run.State());
    try {
        RunCommand(m_run.State().Command);
    } catch (...) {
        // An exception (out of memory) ends the run early; the guard still
        // clears Busy so the dialog does not stay busy for ever.
    }
    return 0;
}

void CommandRunner::RunCommand(int command)
{
    IClientEngine &client = m_services.client;
    int vendor = m_run.Vendor();
    switch (command) {
    case kCmdFullCheck:
        RunFullCheck();
        break;
    case kCmdOnlineUpdate:
        client.RunOnlineUpdate(m_run);
        m_run.ReportResult("TITLE_CE", 0);
        break;
    case kCmdSystemCheck: {
        SystemChecks checks(m_run, m_services.registry, m_services.system, m_services.addresses);
        checks.RunSystemChecks(true);
        break;
    }
    case kCmdClientCheck:
        if (vendor == 1 || vendor == 2)
            client.RunClientChecks(m_run, vendor, true);
        break;
    case kCmdRepair:
        client.RunRepair(m_run);
        break;
    default:
        break;
    }
}

bool CommandRunner::VendorProviderRegistered(int vendor)
{
    return m_services.registry.OpenKey(kRootLocalMachine, VendorProviderKey(vendor)) != nullptr;
}

void CommandRunner::LogStamped(const char *text)
{
    std::string line = m_services.clock.TimeStamp() + text;
    m_run.WriteLog(line.c_str());
}

void CommandRunner::RunFullCheck()
{
    IClientEngine &client = m_services.client;
    int vendor = m_run.Vendor();
    bool knownVendor = vendor == 1 || vendor == 2;
    if (m_run.State().NotFirstRun == 0 && knownVendor && !VendorProviderRegistered(vendor)) {
        if (!client.RunFirstRunInstallation(m_run))
            return;
    }
    LogStamped("   全面检测开始");
    SystemChecks checks(m_run, m_services.registry, m_services.system, m_services.addresses);
    checks.RunSystemChecks(false);
    if (knownVendor)
        client.RunClientChecks(m_run, vendor, false);
    m_run.ReportResult("TITLE_IE", 0);
    LogStamped("   全面检测结束");
}
