#include "assistant/host/log/LogFormat.h"

std::string FormatLogEntry(const char *text)
{
    return std::string("----") + (text ? text : "") + "\r\n";
}

std::string LogPathFromProgramPath(const std::string &programPath)
{
    if (programPath.size() < 3)
        return std::string();
    return programPath.substr(0, programPath.size() - 3) + "log";
}
