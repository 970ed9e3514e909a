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

bool IsPlainLogFile(const LogFileFacts &facts)
{
    // FILE_ATTRIBUTE_DIRECTORY, _DEVICE, _REPARSE_POINT
    const unsigned long kNotPlain = 0x10 | 0x40 | 0x400;
    return facts.onDisk && facts.links == 1 && (facts.attributes & kNotPlain) == 0;
}
