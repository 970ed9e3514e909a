#include "assistant/host/ProgramPaths.h"

#include "common/Gbk.h"

namespace {
// A GBK trail byte may be 0x5C, so the backslash is found character by character.
size_t LastBackslash(const std::string &path)
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (GbkIsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size())
            ++i;
        else if (path[i] == '\\')
            found = i;
    }
    return found;
}
}  // namespace

std::string StartPageUrl(const std::string &programPath)
{
    return "res://" + programPath + "/index.htm";
}

std::string ProtocolFilePath(const std::string &programPath)
{
    size_t slash = LastBackslash(programPath);
    if (slash == std::string::npos)
        return std::string();
    return programPath.substr(0, slash) + "\\images\\test.gif";
}

std::string QuotedModulePath(const std::string &programPath)
{
    return "\"" + programPath + "\"";
}
