#include "assistant/engine/win32/EngineServices.h"

#include "assistant/engine/run/TestHooks.h"
#include "assistant/engine/system/OsVersion.h"

// The process's environment is the user's to set: the administrator
// process takes its overrides from the machine's key only.
CEngineServices::CEngineServices(IYesNoPrompt &prompt)
    : m_addresses(LoadEngineAddresses(m_registry)), m_client(*this, prompt)
{
}

WorkerServices CEngineServices::Services()
{
    return WorkerServices{m_ssl, m_clock, m_registry, m_comonCheck, m_addresses, m_client.Engine()};
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

static int ThisOsVersionClass()
{
    CComonCheck system;
    return ClassifyOsVersion(system.ReadVersionRecord());
}

bool OsIsVistaOrLater()
{
    int version = ThisOsVersionClass();
    return version == kOsVista || version == kOsWin7;
}

bool OsIsWin9xFamily()
{
    int version = ThisOsVersionClass();
    return version == kOsWin95 || version == kOsWin95Osr2 || version == kOsWin98 || version == kOsWin98Se ||
           version == kOsWinMe;
}

std::string ReadMachineTestHook(const char *name)
{
    CWin32Registry registry;
    return ReadTestHook(registry, name);
}
