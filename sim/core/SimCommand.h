// The commands of tokensim.exe over a state; file handling stays with the
// program.
#pragma once

#include "sim/core/SimState.h"

#include <string>
#include <vector>

enum SimAction {
    SIM_ACT_NONE,      // nothing to write
    SIM_ACT_SAVE,      // write the state
    SIM_ACT_INIT,      // write the state, clear calls.log, provide lang.ini
    SIM_ACT_SHOW_LOG,
    SIM_ACT_CLEAR_LOG,
};

struct SimCommandResult {
    int exitCode = 0;    // 0 success, 2 bad usage or value
    SimAction action = SIM_ACT_NONE;
    std::string output;  // for stdout (or the error text for stderr)
};

// args without the program name. On failure the state is left unchanged.
SimCommandResult RunSimCommand(SimState &state, const std::vector<std::string> &args, int64_t now);

std::string ShowState(const SimState &state);
std::string UsageText();
