// The assistant's log: where it lives and what one entry looks like.
#pragma once

#include <string>

// "----" + text + CR LF.
std::string FormatLogEntry(const char *text);

// The program path with its last three characters replaced by "log";
// empty when the path is too short to have them.
std::string LogPathFromProgramPath(const std::string &programPath);
