// The command state that the page bridge, the dialog and the worker share.
#pragma once

#include <atomic>
#include <string>
#include <vector>

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
    // Only touched while one run is in progress: the worker fills ScriptArgs
    // and blocks in the synchronous delivery while the window thread reads it.
    std::string ScriptFunction;
    std::vector<std::string> ScriptArgs;
};

// Whether the dialog must refuse a new command, its close and navigation.
inline bool RunInProgress(const CommandState &state)
{
    return state.Busy == 1 || state.WorkerRunning == 1;
}
