#include "assistant/host/bridge/CommandTable.h"

#include <math.h>

const char kParmErr[] = "PARM ERR";
const char kBusyAnswer[] = "BUSY";

static const char *RepairFrame(const std::string &args)
{
    if (args == "NXIE")
        return "mainframe3.addResult";
    if (args == "NXCT")
        return "mainframe2.addResult";
    if (args == "NXKEY")
        return "mainframe1.addResult";
    return "mainframe.addResult";
}

CommandRoute RouteCommand(int cmdId, const std::string &args)
{
    switch (cmdId) {
    case 1:
        return {true, "mainframe1.addResult", false};
    case 2:
        return {true, "mainframe2.addResult", false};
    case 3:
        return {true, "mainframe3.addResult", false};
    case 4:
        return {true, "mainframe.addResult", true};
    case 10:
        return {true, RepairFrame(args), false};
    default:
        return {false, nullptr, false};
    }
}

int CommandIdFromArgument(CommandIdKind kind, int32_t asInt32, double asDouble)
{
    switch (kind) {
    case CommandIdKind::Int32:
        return asInt32;
    case CommandIdKind::Double:
        if (!isfinite(asDouble) || asDouble >= 2147483648.0 || asDouble <= -2147483649.0)
            return 0;
        return static_cast<int>(asDouble);
    default:
        return 0;
    }
}
