// The command state that the page bridge, the dialog and the worker share.
#pragma once

#include <atomic>
#include <string>

struct CommandState {
    // The integers cross threads (dispatcher on the window thread, worker on
    // its own); atomics keep those reads and writes well defined.
    std::atomic<int> Busy{0};
    // A worker thread exists for this state. Set before the worker starts,
    // cleared only by the worker itself as the last thing it does; unlike
    // Busy (what the page sees, which an update releases early) it keeps
    // every new command, the close and navigation away until the worker ends.
    std::atomic<int> WorkerRunning{0};
    std::atomic<int> Command{0};
    std::atomic<int> NotFirstRun{0};
    std::atomic<int> WorkerStarted{0};
    std::atomic<int> Vendor{0};
    // The page function of the next run. Written by the dispatcher only while
    // no worker exists; the worker takes its copy when it starts.
    std::string ScriptFunction;
};

// Whether the dialog must refuse a new command, its close and navigation.
inline bool RunInProgress(const CommandState &state)
{
    return state.Busy == 1 || state.WorkerRunning == 1;
}
