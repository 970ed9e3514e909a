// Which page function receives a command's results, and how the page's
// command id argument is read.
#pragma once

#include <stdint.h>

#include <string>

struct CommandRoute {
    bool recognised;
    const char *scriptFunction;  // null for an unrecognised command
    bool emptiesLog;             // the full check starts a fresh log
};

// args only matters for command 10 (exact, case-sensitive comparison).
CommandRoute RouteCommand(int cmdId, const std::string &args);

enum class CommandIdKind { Int32, Double, Other };

// Integers as they are (the bridge converts other types to one first),
// doubles truncated toward zero (0 when not finite or out of range),
// anything that is no number 0.
int CommandIdFromArgument(CommandIdKind kind, int32_t asInt32, double asDouble);

extern const char kParmErr[];
// The answer to a command refused because the last one's worker still runs.
extern const char kBusyAnswer[];
