#include "assistant/engine/win32/EngineServices.h"

// The process's environment is the user's to set: the administrator
// process takes its overrides from the machine's key only.
CEngineServices::CEngineServices() : m_addresses(LoadEngineAddresses(m_registry)) {}

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
