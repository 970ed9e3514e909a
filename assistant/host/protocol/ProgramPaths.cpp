#include "assistant/host/protocol/ProgramPaths.h"

#include "common/Gbk.h"

std::string StartPageUrl(const std::string &programPath)
{
    return "res://" + programPath + "/index.htm";
}

std::string ProtocolFilePath(const std::string &programPath)
{
    size_t slash = GbkLastBackslash(programPath.data(), programPath.size());
    if (slash == GBK_NONE)
        return std::string();
    return programPath.substr(0, slash) + "\\images\\test.gif";
}

std::string QuotedModulePath(const std::string &programPath)
{
    return "\"" + programPath + "\"";
}
