// The page's RUVSysCall request: choose the result function, mark the run
// and start one worker.
#pragma once

#include "assistant/engine/run/CommandState.h"
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
// nothing is started and no state changes; a recognised command is answered
// "BUSY" so the page can tell it was refused and need not wait for results
// (an unrecognised one still gets "PARM ERR"). When nothing runs the
// answers are "" and "PARM ERR" as always. An unrecognised id keeps ScriptFunction, answers
// "PARM ERR" and still starts a worker, which ends at once.
DispatchOutcome DispatchCommand(CommandState &state, const CommandCall &call, IBridgeHost &host);
