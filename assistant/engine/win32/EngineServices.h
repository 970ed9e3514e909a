// The worker thread and the real system behind it.
#pragma once

#include "assistant/engine/win32/system/CComonCheck.h"
#include "assistant/engine/win32/system/SslState.h"
#include "assistant/engine/win32/system/Win32Registry.h"
#include "assistant/engine/worker/CheckWorker.h"

#include <windows.h>

// The real registry, system queries, SSL cache and clock, with the addresses
// with their test overrides read when the object is made (at start-up).
class CEngineServices {
public:
    CEngineServices();
    WorkerServices Services(IClientEngine *client);
    const EngineAddresses &Addresses() const { return m_addresses; }
    CComonCheck &ComonCheck() { return m_comonCheck; }
    IRegistry &Registry() { return m_registry; }

private:
    // Declared first: the addresses are read through it.
    CWin32Registry m_registry;
    EngineAddresses m_addresses;
    CComonCheck m_comonCheck;
    CSslState m_ssl;
    LocalClock m_clock;
};

// What the worker thread is given: the dialog's side of a run.
class IWorkerHost {
public:
    virtual ~IWorkerHost() {}
    virtual CommandState &State() = 0;
    virtual IResultChannel &Results() = 0;
    virtual ILog &Log() = 0;
    virtual WorkerServices Services() = 0;
};

// The thread routine: runs State().Command for the host; exit code 0.
DWORD WINAPI CheckWorker(LPVOID host);

// Starts the worker; the handle is the caller's to wait on and close.
HANDLE StartCheckWorkerThread(IWorkerHost *host);
// Starts the worker and lets it end by itself.
bool StartCheckWorker(IWorkerHost *host);
