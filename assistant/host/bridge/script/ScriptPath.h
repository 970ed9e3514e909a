// A dotted page-function path: frame names, then the function name.
#pragma once

#include <string>
#include <vector>

struct ScriptPath {
    std::vector<std::string> frames;
    std::string function;
};

// "mainframe1.addResult" → frames {"mainframe1"}, function "addResult".
ScriptPath SplitScriptPath(const std::string &path);
