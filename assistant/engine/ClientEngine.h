// The sequences of the worker that live outside the system check: client and
// token checks, online update, repairs and the first-run installation.
#pragma once

#include "assistant/engine/CheckRun.h"

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
