// RUVSysCall as a page (or a hostile page) may call it: command ids of any
// numeric kind, any argument text, calls not well formed, calls while busy.
#include "assistant/host/bridge/CommandDispatch.h"
#include "assistant/host/bridge/CommandTable.h"
#include "tests/fuzz/FuzzInput.h"

#include <string.h>

namespace {

class Host : public IBridgeHost {
public:
    explicit Host(FuzzInput &in) : m_in(in) {}
    bool AttachDocument() override { return m_in.Byte() % 4 != 0; }
    void ShowBridgeMessage(const char *) override {}
    void EmptyLog() override {}
    bool StartWorker() override
    {
        ++started;
        return m_in.Byte() % 4 != 0;
    }
    int started = 0;

private:
    FuzzInput &m_in;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    CommandState state;
    state.Vendor = 1;
    Host host(in);
    for (int calls = 0; !in.Empty() && calls < 16; ++calls) {
        CommandIdKind kind = static_cast<CommandIdKind>(in.Byte() % 3);
        int32_t asInt = static_cast<int32_t>(in.Word());
        double asDouble = in.Double();
        CommandCall call;
        call.wellFormed = in.Byte() % 8 != 0;
        call.cmdId = CommandIdFromArgument(kind, asInt, asDouble);
        call.args = in.Text();

        CommandRoute route = RouteCommand(call.cmdId, call.args);
        FUZZ_REQUIRE(route.recognised == (route.scriptFunction != NULL));

        bool wasBusy = RunInProgress(state);
        std::string functionBefore = state.ScriptFunction;
        int startedBefore = host.started;
        DispatchOutcome out = DispatchCommand(state, call, host);
        FUZZ_REQUIRE(!out.answered || out.text.empty() || out.text == kParmErr || (wasBusy && out.text == kBusyAnswer));
        if (!call.wellFormed || wasBusy) {
            FUZZ_REQUIRE(!out.started && host.started == startedBefore);
            FUZZ_REQUIRE(state.ScriptFunction == functionBefore);
        }
        if (!call.wellFormed)
            FUZZ_REQUIRE(out.text == kParmErr);
        else if (wasBusy)
            FUZZ_REQUIRE(out.text == (route.recognised ? kBusyAnswer : kParmErr));
        if (out.started)
            FUZZ_REQUIRE(state.Busy == 1);
        // The worker ends: the next call finds the bridge free half the time.
        if (in.Byte() % 2) {
            state.Busy = 0;
            state.WorkerRunning = 0;
        }
    }
    return 0;
}
