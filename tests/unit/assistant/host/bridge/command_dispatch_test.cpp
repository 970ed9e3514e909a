#include "assistant/host/bridge/CommandDispatch.h"
#include "assistant/host/bridge/CommandTable.h"
#include "assistant/host/bridge/script/ScriptPath.h"
#include "assistant/host/log/LogFormat.h"

#include <gtest/gtest.h>

#include <ctype.h>
#include <stdlib.h>

#include <fstream>
#include <limits>
#include <map>

namespace {

class FakeHost : public IBridgeHost {
public:
    bool AttachDocument() override
    {
        ++attaches;
        return attachSucceeds;
    }
    void ShowBridgeMessage(const char *) override { ++attachFailures; }
    void EmptyLog() override { ++logEmptied; }
    bool StartWorker() override
    {
        workers.push_back(state ? state->NotFirstRun.load() : -1);
        return startSucceeds;
    }

    CommandState *state = nullptr;
    bool attachSucceeds = true;
    bool startSucceeds = true;
    int attaches = 0;
    int attachFailures = 0;
    int logEmptied = 0;
    std::vector<int> workers;  // NotFirstRun seen by each started worker
};

class Dispatch : public ::testing::Test {
protected:
    Dispatch() { host.state = &state; }
    DispatchOutcome Call(int id, const char *args) { return DispatchCommand(state, {true, id, args}, host); }
    CommandState state;
    FakeHost host;
};

// A check page source's values ("@NAME value" lines): the command its button
// sends (TYPE), the frame it is shown in and the argument its repair sends.
std::map<std::string, std::string> ReadCheckPage(const char *name)
{
    std::map<std::string, std::string> values;
    std::ifstream in(std::string(ORVANE_SOURCE_DIR "/assistant/res/pages/") + name);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t space = line.find(' ');
        if (line[0] == '@' && space != std::string::npos)
            values[line.substr(1, space - 1)] = line.substr(space + 1);
    }
    return values;
}

std::string Function(const CommandRoute &route)
{
    return route.scriptFunction ? route.scriptFunction : "<none>";
}

// The table and the pages are written apart: a page moved to another frame,
// or a repair argument renamed on one side only, loses that page's results.
TEST(CommandRoute, EachCheckPagesCommandAndRepairReachItsFrame)
{
    const std::string full = ReadCheckPage("NX_DETECTALL.HTM")["FRAME"] + ".addResult";
    for (const char *name : {"NX_DETECTALL.HTM", "NX_DETECTCT.HTM", "NX_DETECTKEY.HTM", "NX_DETECTSYS.HTM"}) {
        SCOPED_TRACE(name);
        std::map<std::string, std::string> page = ReadCheckPage(name);
        ASSERT_FALSE(page["FRAME"].empty());
        std::string own = page["FRAME"] + ".addResult", repairArg = page["REPAIR_ARG"];
        CommandRoute route = RouteCommand(atoi(page["TYPE"].c_str()), "NX");
        EXPECT_TRUE(route.recognised);
        EXPECT_EQ(own, Function(route));
        EXPECT_EQ(page["KIND"] == "all", route.emptiesLog);  // only the full check starts a fresh log
        EXPECT_EQ(own, Function(RouteCommand(10, repairArg)));
        // Another spelling is no page's: its repair shows in the full check.
        for (char &c : repairArg)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(full, Function(RouteCommand(10, repairArg)));
    }
    EXPECT_EQ(full, Function(RouteCommand(10, "")));
}

TEST(CommandIdArgument, IntegersDoublesAndOtherValues)
{
    EXPECT_EQ(4, CommandIdFromArgument(CommandIdKind::Int32, 4, 0));
    EXPECT_EQ(2, CommandIdFromArgument(CommandIdKind::Double, 0, 2.9));
    EXPECT_EQ(-2, CommandIdFromArgument(CommandIdKind::Double, 0, -2.9));
    EXPECT_EQ(0, CommandIdFromArgument(CommandIdKind::Double, 0, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(0, CommandIdFromArgument(CommandIdKind::Double, 0, 1e300));
    // Not a number (an object, or text that does not convert): no command.
    EXPECT_EQ(0, CommandIdFromArgument(CommandIdKind::Other, 10, 10.0));
}

TEST_F(Dispatch, FullCheckEmptiesTheLogAndMarksTheFirstRun)
{
    DispatchOutcome first = Call(4, "NX");
    EXPECT_TRUE(first.answered);
    EXPECT_EQ("", first.text);
    EXPECT_EQ(1, host.logEmptied);
    EXPECT_EQ("mainframe.addResult", state.ScriptFunction);
    EXPECT_EQ(1, state.Busy);
    EXPECT_EQ(4, state.Command);
    EXPECT_EQ(1, state.WorkerStarted);

    state.Busy = 0;  // the worker ended
    state.WorkerRunning = 0;
    Call(3, "NX");
    EXPECT_EQ(1, host.logEmptied);
    EXPECT_EQ(std::vector<int>({0, 1}), host.workers);
    EXPECT_EQ("mainframe3.addResult", state.ScriptFunction);
}

TEST_F(Dispatch, UnknownCommandKeepsTheFunctionButStillStartsAWorker)
{
    Call(2, "NX");
    state.Busy = 0;
    state.WorkerRunning = 0;
    DispatchOutcome outcome = Call(7, "NX");
    EXPECT_EQ("PARM ERR", outcome.text);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ("mainframe2.addResult", state.ScriptFunction);
    EXPECT_EQ(7, state.Command);
    EXPECT_EQ(2u, host.workers.size());
}

TEST_F(Dispatch, RunInProgressRefusesWithoutChangingAnything)
{
    Call(2, "NX");
    ASSERT_EQ(1, state.Busy);
    ASSERT_EQ(1, state.WorkerRunning);
    EXPECT_EQ("BUSY", Call(4, "NX").text);
    // An update releases Busy after a failed package; its worker still runs.
    state.Busy = 0;
    EXPECT_EQ("PARM ERR", Call(9, "NX").text);
    DispatchOutcome repair = Call(10, "NXCT");
    EXPECT_EQ("BUSY", repair.text);  // the page is told, and waits for nothing
    EXPECT_FALSE(repair.started);
    EXPECT_FALSE(Call(4, "NX").started);
    EXPECT_EQ(0, state.Busy);
    EXPECT_EQ(2, state.Command);
    EXPECT_EQ("mainframe2.addResult", state.ScriptFunction);
    EXPECT_EQ(0, host.logEmptied);
    EXPECT_EQ(1, host.attaches);  // the running command keeps its document
    EXPECT_EQ(1u, host.workers.size());

    state.WorkerRunning = 0;  // the worker's own end
    DispatchOutcome next = Call(4, "NX");
    EXPECT_TRUE(next.started);
    EXPECT_EQ("", next.text);
    EXPECT_EQ(1, state.WorkerRunning);
}

TEST_F(Dispatch, FailedAttachAnswersNothingAndStartsNothing)
{
    host.attachSucceeds = false;
    DispatchOutcome outcome = Call(4, "NX");
    EXPECT_FALSE(outcome.answered);
    EXPECT_EQ(1, host.attachFailures);
    EXPECT_EQ(0, state.Busy);
    EXPECT_EQ(0, host.logEmptied);
    EXPECT_TRUE(state.ScriptFunction.empty());
    EXPECT_TRUE(host.workers.empty());
    EXPECT_EQ(0, state.WorkerStarted);
}

TEST_F(Dispatch, MalformedCallAnswersParmErrAndStartsNothing)
{
    DispatchOutcome outcome = DispatchCommand(state, {false, 4, ""}, host);
    EXPECT_EQ("PARM ERR", outcome.text);
    EXPECT_EQ(0, host.attaches);
    EXPECT_EQ(0, state.Busy);
    EXPECT_TRUE(host.workers.empty());
}

TEST_F(Dispatch, WorkerThatCannotStartLeavesTheDialogIdle)
{
    host.startSucceeds = false;
    DispatchOutcome outcome = Call(3, "NX");
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(0, state.Busy);
    EXPECT_EQ(0, state.WorkerRunning);
    EXPECT_EQ(0, state.WorkerStarted);
}

TEST(ScriptPathSplit, FramesThenFunction)
{
    ScriptPath p = SplitScriptPath("mainframe1.addResult");
    EXPECT_EQ(std::vector<std::string>({"mainframe1"}), p.frames);
    EXPECT_EQ("addResult", p.function);
    EXPECT_TRUE(SplitScriptPath("addResult").frames.empty());
    ScriptPath nested = SplitScriptPath("a.b.f");
    EXPECT_EQ(std::vector<std::string>({"a", "b"}), nested.frames);
    EXPECT_EQ("f", nested.function);
}

TEST(Log, EntryFormatAndPath)
{
    EXPECT_EQ("----网络状态正常\r\n", FormatLogEntry("网络状态正常"));
    EXPECT_EQ("----\r\n", FormatLogEntry(nullptr));
    EXPECT_EQ("C:\\p\\Orvane_Assistant.log", LogPathFromProgramPath("C:\\p\\Orvane_Assistant.exe"));
    EXPECT_EQ("assistant.log", LogPathFromProgramPath("assistant.exe"));
    EXPECT_EQ("", LogPathFromProgramPath("ab"));
}

}  // namespace
