// The sequences of the worker that live outside the system check: client and
// token checks, online update, repairs and the first-run installation.
#pragma once

#include "assistant/engine/client/ClientChecks.h"
#include "assistant/engine/run/CheckRun.h"

class IClientEngine {
public:
    virtual ~IClientEngine() {}
    // Always 1; standAlone ends with its own end-of-run signal.
    virtual int RunClientChecks(CheckRun &run, int vendor, bool standAlone) = 0;
    // 0 when the network is unreachable, else 1.
    virtual int RunOnlineUpdate(CheckRun &run) = 0;
    virtual void RunRepair(CheckRun &run) = 0;
    // Whether every installer step succeeded (a failed step has reported).
    virtual bool RunFirstRunInstallation(CheckRun &run) = 0;
};

struct ClientEngineServices {
    IRegistry &registry;
    ISystemInfo &system;
    ITokenAccess &token;
    IDownloader &downloader;
    IUpdatePlatform &platform;
    std::string updateHost;
    std::string probeUrl;
};

// The sequences over whatever platform they are given.
class ClientEngine : public IClientEngine {
public:
    explicit ClientEngine(ClientEngineServices services);

    int RunClientChecks(CheckRun &run, int vendor, bool standAlone) override;
    int RunOnlineUpdate(CheckRun &run) override;
    void RunRepair(CheckRun &run) override;
    bool RunFirstRunInstallation(CheckRun &run) override;

private:
    ClientCheckServices CheckServices();

    ClientEngineServices m_s;
    VersionCheck m_versions;
};
