#include "assistant/host/HostTrace.h"

#include "assistant/engine/win32/system/Win32Registry.h"
#include "assistant/engine/worker/TestHooks.h"
#include "common/win32/TraceFile.h"

#include <string.h>

// The machine's test override, not the environment: an administrator
// process must not create or append to a file a user names.
static void TracePath(char *path, unsigned size)
{
    CWin32Registry registry;
    std::string file = ReadTestHook(registry, "ORVANE_TRACE_FILE");
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
