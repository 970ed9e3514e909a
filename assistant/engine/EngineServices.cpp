#include "assistant/engine/EngineServices.h"

#include <stdlib.h>

static const char *ReadEnvironment(const char *name)
{
    return getenv(name);
}

CEngineServices::CEngineServices() : m_addresses(LoadEngineAddresses(ReadEnvironment)) {}

WorkerServices CEngineServices::Services(IClientEngine *client)
{
    return WorkerServices{m_ssl, m_clock, m_registry, m_comonCheck, m_addresses, client};
}

DWORD WINAPI CheckWorker(LPVOID param)
{
    IWorkerHost *host = static_cast<IWorkerHost *>(param);
    if (!host)
        return 0;
    CommandRunner worker(host->State(), host->Results(), host->Log(), host->Services());
    return static_cast<DWORD>(worker.Run());
}

HANDLE StartCheckWorkerThread(IWorkerHost *host)
{
    return CreateThread(NULL, 0, CheckWorker, host, 0, NULL);
}

bool StartCheckWorker(IWorkerHost *host)
{
    HANDLE thread = StartCheckWorkerThread(host);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}
