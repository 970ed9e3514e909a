#include "assistant/engine/worker/CheckWorker.h"
#include "tests/unit/assistant/EngineFakes.h"
#include "tests/unit/assistant/SeededSystem.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class Worker : public ::testing::Test {
protected:
    Worker() : addresses(DefaultEngineAddresses()), page(state) { SeedPassingSystem(reg, addresses); }

    void Run(int command, int vendor, bool withClient = true)
    {
        state.Command = command;
        state.Vendor = vendor;
        state.Busy = 1;  // as the dispatcher leaves it
        state.WorkerRunning = 1;
        WorkerServices services{ssl, clock, reg, system, addresses, withClient ? &client : nullptr};
        CommandRunner worker(state, page, page, services);
        EXPECT_EQ(0, worker.Run());
        EXPECT_EQ(0, state.Busy);
        EXPECT_EQ(0, state.WorkerRunning);
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
    EXPECT_EQ(std::vector<std::string>({"REPAIR0|20", "REPAIR0|0"}), page.results);
    EXPECT_TRUE(page.logs.empty());
}

TEST_F(Worker, UnknownVendorRunsOnlyTheSystemHalf)
{
    Run(4, 0);
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ("ROOTCERT0|90", page.results[page.results.size() - 2]);
    EXPECT_EQ("TITLE_IE|0", page.results.back());

    page.results.clear();
    Run(1, 0);
    EXPECT_TRUE(page.results.empty());
}

TEST_F(Worker, EachCommandEndsWithItsSignal)
{
    Run(3, 1);
    EXPECT_EQ("TITLE_RC|0", page.results.back());
    EXPECT_EQ(11u, page.results.size());

    page.results.clear();
    Run(1, 2);
    EXPECT_EQ(std::vector<std::string>({"TITLE_CT|1", "TITLE_RC|0"}), page.results);

    page.results.clear();
    Run(2, 1);
    EXPECT_EQ(std::vector<std::string>({"VERSION|95", "TITLE_CE|0"}), page.results);

    page.results.clear();
    Run(10, 1);
    EXPECT_EQ(std::vector<std::string>({"REPAIR2|100", "REPAIR2|0"}), page.results);
    EXPECT_EQ(std::vector<std::string>({"client 2 alone", "update", "repair"}), client.calls);
}

TEST_F(Worker, UnknownCommandSendsNothing)
{
    Run(7, 1);
    EXPECT_TRUE(page.results.empty());
    EXPECT_EQ(1, ssl.cleared);
}

TEST_F(Worker, WithoutClientSequencesOnlySystemWorkIsDone)
{
    Run(2, 1, false);
    Run(10, 1, false);
    Run(1, 1, false);
    EXPECT_TRUE(page.results.empty());
    Run(4, 1, false);
    EXPECT_EQ("TITLE_IE|0", page.results.back());
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
    WorkerServices services{ssl, clock, reg, system, addresses, &throwing};
    CommandRunner worker(state, page, page, services);
    EXPECT_EQ(0, worker.Run());
    EXPECT_EQ(0, state.Busy);
    EXPECT_EQ(0, state.WorkerRunning);
}

}  // namespace
