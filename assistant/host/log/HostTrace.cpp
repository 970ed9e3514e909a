#include "assistant/host/log/HostTrace.h"

#include "assistant/engine/win32/EngineServices.h"
#include "common/win32/TraceFile.h"

#include <string.h>

// The machine's test override, not the environment: an administrator
// process must not create or append to a file a user names.
static void TracePath(char *path, unsigned size)
{
    std::string file = ReadMachineTestHook("ORVANE_TRACE_FILE");
    if (file.size() < size)
        memcpy(path, file.c_str(), file.size() + 1);
}

void HostTrace(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteTraceLine(TracePath, format, args);
    va_end(args);
}
