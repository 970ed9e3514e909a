#include "assistant/engine/worker/ClientEngine.h"

#include "assistant/engine/update/OnlineUpdate.h"
#include "assistant/engine/update/Repairs.h"

ClientEngine::ClientEngine(ClientEngineServices services)
    : m_s(services), m_versions(services.registry, services.downloader, services.platform, services.updateHost)
{
}

namespace {
// Each sequence is a run of its own: its work folder goes with it.
class RunEnd {
public:
    explicit RunEnd(IUpdatePlatform &platform) : m_platform(platform) {}
    ~RunEnd() { m_platform.EndRun(); }

private:
    IUpdatePlatform &m_platform;
};
}  // namespace

ClientCheckServices ClientEngine::CheckServices()
{
    return ClientCheckServices{m_s.registry, m_s.system, m_s.platform, m_s.token, m_versions};
}

int ClientEngine::RunClientChecks(CheckRun &run, int vendor, bool standAlone)
{
    RunEnd end(m_s.platform);
    m_versions.StartRun();
    ClientChecks checks(run, CheckServices());
    return checks.RunClientChecks(vendor, standAlone);
}

int ClientEngine::RunOnlineUpdate(CheckRun &run)
{
    RunEnd end(m_s.platform);
    m_versions.StartRun();
    OnlineUpdate update(run, UpdateServices{CheckServices(), m_s.downloader, m_s.platform, m_s.probeUrl});
    return update.RunOnlineUpdate();
}

void ClientEngine::RunRepair(CheckRun &run)
{
    RunEnd end(m_s.platform);
    Repairs repairs(run, m_s.registry, m_s.platform);
    repairs.RunRepair();
}

bool ClientEngine::RunFirstRunInstallation(CheckRun &run)
{
    RunEnd end(m_s.platform);
    Repairs repairs(run, m_s.registry, m_s.platform);
    return repairs.RunFirstRunInstallation();
}
