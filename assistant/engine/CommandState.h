// The command state that the page bridge, the dialog and the worker share.
#pragma once

#include <atomic>
#include <string>
#include <vector>

struct CommandState {
    // The integers cross threads (dispatcher on the window thread, worker on
    // its own); atomics keep those reads and writes well defined.
    std::atomic<int> Busy{0};
    std::atomic<int> Command{0};
    std::atomic<int> NotFirstRun{0};
    std::atomic<int> WorkerStarted{0};
    std::atomic<int> Vendor{0};
    // Only touched while one run is in progress: the worker fills ScriptArgs
    // and blocks in the synchronous delivery while the window thread reads it.
    std::string ScriptFunction;
    std::vector<std::string> ScriptArgs;
};
