// What the worker thread does: runs one requested command and reports its findings.
#pragma once

#include "assistant/engine/platform/Clock.h"
#include "assistant/engine/platform/SslSessionState.h"
#include "assistant/engine/run/CheckRun.h"
#include "assistant/engine/system/SystemChecks.h"
#include "assistant/engine/worker/ClientEngine.h"

enum WorkerCommand {
    kCmdClientCheck = 1,
    kCmdOnlineUpdate = 2,
    kCmdSystemCheck = 3,
    kCmdFullCheck = 4,
    kCmdRepair = 10,
};

struct WorkerServices {
    ISslState &ssl;
    IClock &clock;
    IRegistry &registry;
    ISystemInfo &system;
    const EngineAddresses &addresses;
    IClientEngine &client;
};

class CommandRunner {
public:
    CommandRunner(CommandState &state, IResultChannel &channel, ILog &log, WorkerServices services)
        : m_run(state, channel, log), m_services(services) {}

    // Runs State().Command; Busy and then WorkerRunning are 0 afterwards on
    // every path. Returns 0.
    int Run();

private:
    void RunCommand(int command);
    void RunFullCheck();
    bool VendorProviderRegistered(int vendor);
    void LogStamped(const char *text);

    CheckRun m_run;
    WorkerServices m_services;
};

// The provider key whose absence makes the first full check install.
const char *VendorProviderKey(int vendor);
