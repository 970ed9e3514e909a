// The engine as the host starts it: the real system behind the checks, the
// worker thread, and what the host asks the system before its dialog exists.
// The host's one way into the engine besides the run state it shares.
#pragma once

#include "assistant/engine/win32/Win32ClientEngine.h"
#include "assistant/engine/win32/system/CComonCheck.h"
#include "assistant/engine/win32/system/SslState.h"
#include "assistant/engine/win32/system/Win32Registry.h"
#include "assistant/engine/worker/CommandRunner.h"

#include <windows.h>

#include <string>

// The real registry, system queries, SSL cache, clock and the client, update
// and repair sequences, with the addresses with their test overrides read
// when the object is made (at start-up). prompt answers the repair's
// question; it must outlive this object.
class CEngineServices {
public:
    explicit CEngineServices(IYesNoPrompt &prompt);
    WorkerServices Services();
    const EngineAddresses &Addresses() const { return m_addresses; }
    CComonCheck &ComonCheck() { return m_comonCheck; }
    IRegistry &Registry() { return m_registry; }
    CInstallerPlatform &Platform() { return m_client.Platform(); }

private:
    // Declared first: the addresses are read through it.
    CWin32Registry m_registry;
    EngineAddresses m_addresses;
    CComonCheck m_comonCheck;
    CSslState m_ssl;
    LocalClock m_clock;
    // Last: made from the members above.
    CWin32ClientEngine m_client;
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

bool OsIsVistaOrLater();
bool OsIsWin9xFamily();

// The machine's test override of that name (see run/TestHooks.h); always
// empty in a release build.
std::string ReadMachineTestHook(const char *name);
