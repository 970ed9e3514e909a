#include "keymgr/shell/DebugTrace.h"

#ifdef ZVAPP_DEBUG_TRACE
#include "common/win32/TraceFile.h"

#include <windows.h>

// The token manager runs as the user: the user's environment may steer it.
static void TracePath(char *path, unsigned size)
{
    DWORD n = GetEnvironmentVariableA("ZVAPP_TRACE_FILE", path, size);
    if (n == 0 || n >= size)
        path[0] = '\0';
}

void DebugTrace(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteTraceLine(TracePath, format, args);
    va_end(args);
}
#else
// The delivered program: notices and certificate texts go nowhere.
void DebugTrace(const char *, ...) {}
#endif
