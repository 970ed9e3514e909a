#include "assistant/host/bridge/CommandDispatch.h"
#include "assistant/host/bridge/CommandTable.h"
#include "assistant/host/bridge/script/ScriptPath.h"
#include "assistant/host/dialog/AcceleratorRule.h"
#include "assistant/host/log/LogFormat.h"

#include <gtest/gtest.h>

#include <limits>

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

TEST(CommandRouteTable, FramesByCommandAndRepairOrigin)
{
    EXPECT_STREQ("mainframe1.addResult", RouteCommand(1, "NX").scriptFunction);
    EXPECT_STREQ("mainframe2.addResult", RouteCommand(2, "NX").scriptFunction);
    EXPECT_STREQ("mainframe3.addResult", RouteCommand(3, "NX").scriptFunction);
    EXPECT_STREQ("mainframe.addResult", RouteCommand(4, "NX").scriptFunction);
    EXPECT_TRUE(RouteCommand(4, "NX").emptiesLog);
    EXPECT_FALSE(RouteCommand(3, "NX").emptiesLog);
    EXPECT_STREQ("mainframe3.addResult", RouteCommand(10, "NXIE").scriptFunction);
    EXPECT_STREQ("mainframe2.addResult", RouteCommand(10, "NXCT").scriptFunction);
    EXPECT_STREQ("mainframe1.addResult", RouteCommand(10, "NXKEY").scriptFunction);
    EXPECT_STREQ("mainframe.addResult", RouteCommand(10, "nxct").scriptFunction);
    EXPECT_STREQ("mainframe.addResult", RouteCommand(10, "").scriptFunction);
    EXPECT_FALSE(RouteCommand(7, "NX").recognised);
    EXPECT_FALSE(RouteCommand(0, "NX").recognised);
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

TEST(Accelerators, OnlyCtrlWithOPOrNOnKeyDown)
{
    EXPECT_TRUE(SwallowAccelerator(true, true, false, true, false));
    EXPECT_TRUE(SwallowAccelerator(true, true, true, false, false));
    EXPECT_TRUE(SwallowAccelerator(true, true, false, false, true));
    EXPECT_FALSE(SwallowAccelerator(false, true, true, true, true));
    EXPECT_FALSE(SwallowAccelerator(true, false, true, false, false));
    EXPECT_FALSE(SwallowAccelerator(true, true, false, false, false));
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
