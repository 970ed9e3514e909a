// The page's RUVSysCall request: choose the result function, mark the run
// and start one worker.
#pragma once

#include "assistant/engine/worker/CommandState.h"
#include "assistant/host/bridge/BridgeHost.h"

#include <string>

struct CommandCall {
    bool wellFormed;  // an id and a string argument were passed
    int cmdId;
    std::string args;
};

struct DispatchOutcome {
    bool answered;     // false: the page receives no value
    std::string text;  // "" or "PARM ERR"
    bool started;      // a worker was started
};

// A call that is not well formed gets "PARM ERR" and starts nothing.
// While a run is in progress (Busy, or a worker that has not ended yet)
// nothing is started and no state changes; the answer is the
// one the command would get otherwise ("" or "PARM ERR"), so the page's
// contract stays the same. An unrecognised id keeps ScriptFunction, answers
// "PARM ERR" and still starts a worker, which ends at once.
DispatchOutcome DispatchCommand(CommandState &state, const CommandCall &call, IBridgeHost &host);
