#include "assistant/host/bridge/CommandDispatch.h"

#include "assistant/host/bridge/CommandTable.h"

DispatchOutcome DispatchCommand(CommandState &state, const CommandCall &call, IBridgeHost &host)
{
    if (!call.wellFormed)
        return {true, kParmErr, false};
    CommandRoute route = RouteCommand(call.cmdId, call.args);
    std::string answer = route.recognised ? "" : kParmErr;
    if (RunInProgress(state))
        return {true, route.recognised ? kBusyAnswer : kParmErr, false};

    if (!host.AttachDocument()) {
        host.ShowBridgeMessage("js.SetDocument() failed.");
        return {false, std::string(), false};
    }
    state.Busy = 1;
    state.Command = call.cmdId;
    if (route.recognised) {
        if (route.emptiesLog)
            host.EmptyLog();
        state.ScriptFunction = route.scriptFunction;
    }
    state.NotFirstRun = state.WorkerStarted ? 1 : 0;
    state.WorkerRunning = 1;
    if (!host.StartWorker()) {
        // No worker exists to clear them.
        state.WorkerRunning = 0;
        state.Busy = 0;
        return {true, answer, false};
    }
    state.WorkerStarted = 1;
    return {true, answer, true};
}
