// live-dispatch: the script bridge's command dispatch for the live page host,
// so pages in a test browser get the answers, routes and Busy rule of the
// real bridge. It keeps the dialog's command state between requests; the
// host starts the engine when told and reports when the worker has ended.
//
// One request a line on stdin, one answer a line on stdout:
//   call int N ARGS | call double X ARGS | call other 0 ARGS (no number)
//       the page's command id as the browser would pass it; ARGS is "x" and
//       the second argument's bytes in hex, or "-" for a non-string value
//   ended
//       the worker has ended: Busy and WorkerRunning go back to 0, as the
//       worker leaves them
// Answer to call (tab separated):
//   answered started emptiedLog text Command NotFirstRun Busy ScriptFunction frames function
// (frames joined by ","); answer to ended: "idle".
#include "assistant/host/bridge/CommandDispatch.h"
#include "assistant/host/bridge/CommandTable.h"
#include "assistant/host/bridge/script/ScriptPath.h"

#include <stdio.h>
#include <stdlib.h>

#include <iostream>
#include <sstream>
#include <string>

namespace {

class LiveHost : public IBridgeHost {
public:
    bool AttachDocument() override { return true; }  // the calling page is the document
    void ShowBridgeMessage(const char *) override {}
    void EmptyLog() override { emptiedLog = true; }
    bool StartWorker() override
    {
        started = true;
        return true;
    }

    bool emptiedLog = false;
    bool started = false;
};

bool HexBytes(const std::string &hex, std::string &out)
{
    if (hex.size() % 2)
        return false;
    out.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        char pair[3] = {hex[i], hex[i + 1], 0};
        char *end = nullptr;
        long byte = strtol(pair, &end, 16);
        if (*end)
            return false;
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

// false for a line that is not a call; a call without a string argument is
// read as the bridge reads it (not well formed).
bool ParseCall(const std::string &line, CommandCall &call)
{
    std::istringstream in(line);
    std::string word, kind, value, args;
    if (!(in >> word >> kind >> value >> args) || word != "call")
        return false;
    char *end = nullptr;
    if (kind == "int") {
        long long v = strtoll(value.c_str(), &end, 10);
        call.cmdId = CommandIdFromArgument(CommandIdKind::Int32, static_cast<int32_t>(v), 0);
    } else if (kind == "double") {
        call.cmdId = CommandIdFromArgument(CommandIdKind::Double, 0, strtod(value.c_str(), &end));
    } else if (kind == "other") {
        call.cmdId = CommandIdFromArgument(CommandIdKind::Other, 0, 0);
        end = const_cast<char *>("");
    } else {
        return false;
    }
    if (!end || *end)
        return false;
    call.wellFormed = args[0] == 'x' && HexBytes(args.substr(1), call.args);
    return true;
}

std::string Joined(const std::vector<std::string> &parts)
{
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? "," : "") + parts[i];
    return out;
}

}  // namespace

int main()
{
    CommandState state;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "ended") {
            state.Busy = 0;
            state.WorkerRunning = 0;
            std::cout << "idle" << std::endl;
            continue;
        }
        CommandCall call = {false, 0, std::string()};
        if (!ParseCall(line, call)) {
            std::cout << "error\tunreadable request" << std::endl;
            continue;
        }
        LiveHost host;
        DispatchOutcome outcome = DispatchCommand(state, call, host);
        ScriptPath path = SplitScriptPath(state.ScriptFunction);
        std::cout << (outcome.answered ? 1 : 0) << '\t' << (outcome.started ? 1 : 0) << '\t'
                  << (host.emptiedLog ? 1 : 0) << '\t' << outcome.text << '\t' << state.Command << '\t'
                  << state.NotFirstRun << '\t' << state.Busy << '\t' << state.ScriptFunction << '\t'
                  << Joined(path.frames) << '\t' << path.function << std::endl;
    }
    return 0;
}
