#include "assistant/host/bridge/script/ScriptPath.h"

ScriptPath SplitScriptPath(const std::string &path)
{
    ScriptPath result;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type dot = path.find('.', start);
        if (dot == std::string::npos) {
            result.function = path.substr(start);
            return result;
        }
        result.frames.push_back(path.substr(start, dot - start));
        start = dot + 1;
    }
}
