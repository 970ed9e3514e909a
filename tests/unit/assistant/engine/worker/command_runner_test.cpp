#include "assistant/engine/worker/CommandRunner.h"
#include "tests/unit/assistant/EngineFakes.h"
#include "tests/unit/assistant/SeededSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

class Worker : public ::testing::Test {
protected:
    Worker() : addresses(DefaultEngineAddresses()), page(state) { SeedPassingSystem(reg, addresses); }

    void Run(int command, int vendor)
    {
        state.Command = command;
        state.Vendor = vendor;
        state.Busy = 1;  // as the dispatcher leaves it
        state.WorkerRunning = 1;
        state.ScriptFunction = "frame" + std::to_string(command) + ".addResult";
        std::string function = state.ScriptFunction;
        size_t before = page.functions.size();
        CommandRunner worker(state, page, page, WorkerServices{ssl, clock, reg, system, addresses, client});
        EXPECT_EQ(0, worker.Run());
        EXPECT_EQ(0, state.Busy);
        EXPECT_EQ(0, state.WorkerRunning);
        // Every result of the run goes to the function the run started with.
        for (size_t i = before; i < page.functions.size(); ++i)
            EXPECT_EQ(function, page.functions[i]) << "result " << i;
    }

    CommandState state;
    EngineAddresses addresses;
    FakeRegistry reg;
    FakeSystem system;
    FakeSsl ssl;
    FixedClock clock;
    FakeClientEngine client;
    RecordingPage page;
};

const char kVendor1Provider[] = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\LCCB VK820Auto CSP v1.0";

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Worker, FullCheckOnFirstRunInstallsThenChecksAndEndsWithTitleIe)
{
    Run(4, 1);
    EXPECT_EQ(std::vector<std::string>({"install", "client 1 inside"}), client.calls);
    EXPECT_EQ(1, ssl.cleared);
    EXPECT_EQ("TITLE_WS|1", page.results.front());
    EXPECT_EQ("TITLE_CT|1", page.results[page.results.size() - 2]);
    EXPECT_EQ("TITLE_IE|0", page.results.back());
    EXPECT_EQ(0, std::count(page.results.begin(), page.results.end(), "TITLE_RC|0"));
    EXPECT_EQ("2026-12-08 10:00:00   全面检测开始", page.logs.front());
    EXPECT_EQ("2026-12-08 10:00:00   全面检测结束", page.logs.back());
    // The worker holds Busy for the whole run.
    for (int busy : page.busyAtDelivery)
        EXPECT_EQ(1, busy);
}

TEST_F(Worker, FullCheckSkipsInstallationWhenProviderExistsOrNotFirstRun)
{
    reg.AddKey(kRootLocalMachine, kVendor1Provider);
    Run(4, 1);
    reg = FakeRegistry();
    SeedPassingSystem(reg, addresses);
    state.NotFirstRun = 1;
    Run(4, 1);
    EXPECT_EQ(std::vector<std::string>({"client 1 inside", "client 1 inside"}), client.calls);
}

TEST_F(Worker, FailedFirstRunInstallationEndsTheCommand)
{
    client.installSucceeds = false;
    Run(4, 2);
    EXPECT_EQ(std::vector<std::string>({"install"}), client.calls);
    // What the installation reported and nothing after it: no check, no
    // end signal, no log line.
    ASSERT_FALSE(client.reported.empty());
    EXPECT_EQ(client.reported, page.results);
    EXPECT_TRUE(page.logs.empty());
}

TEST_F(Worker, UnknownVendorGetsTheSameFullCheckWithoutTheClientHalf)
{
    reg.AddKey(kRootLocalMachine, kVendor1Provider);
    Run(4, 1);
    std::vector<std::string> known = page.results, clientHalf = client.reported;
    ASSERT_GT(known.size(), clientHalf.size() + 1);

    page.results.clear();
    client = FakeClientEngine();
    Run(4, 0);
    EXPECT_TRUE(client.calls.empty());
    // The client's part sits between the system half and the end signal.
    std::vector<std::string> systemHalf(known.begin(), known.end() - 1 - clientHalf.size());
    EXPECT_EQ(Joined(systemHalf, {"TITLE_IE|0"}), page.results);

    page.results.clear();
    Run(1, 0);
    EXPECT_TRUE(page.results.empty());
    EXPECT_TRUE(client.calls.empty());
}

TEST_F(Worker, EachCommandRunsItsSequenceThenItsOwnSignal)
{
    struct Case {
        int command;
        int vendor;
        std::vector<std::string> calls;
        std::vector<std::string> after;  // what the worker sends once the sequence is done
    } cases[] = {
        {1, 2, {"client 2 alone"}, {}},
        {2, 1, {"update"}, {"TITLE_CE|0"}},
        {10, 1, {"repair"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        client = FakeClientEngine();
        page.results.clear();
        Run(c.command, c.vendor);
        EXPECT_EQ(c.calls, client.calls);
        EXPECT_EQ(Joined(client.reported, c.after), page.results);
    }

    client = FakeClientEngine();
    page.results.clear();
    Run(3, 1);
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ("TITLE_RC|0", page.results.back());
    EXPECT_EQ(11u, page.results.size());
}

TEST_F(Worker, UnknownCommandSendsNothing)
{
    Run(7, 1);
    EXPECT_TRUE(page.results.empty());
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ(1, ssl.cleared);
}

class ThrowingEngine : public FakeClientEngine {
public:
    void RunRepair(CheckRun &) override { throw std::runtime_error("out of memory"); }
};

TEST_F(Worker, BusyIsClearedWhenASequenceThrows)
{
    ThrowingEngine throwing;
    state.Command = 10;
    state.Busy = 1;
    state.WorkerRunning = 1;
    CommandRunner worker(state, page, page, WorkerServices{ssl, clock, reg, system, addresses, throwing});
    EXPECT_EQ(0, worker.Run());
    EXPECT_EQ(0, state.Busy);
    EXPECT_EQ(0, state.WorkerRunning);
}

}  // namespace
