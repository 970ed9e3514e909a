#include "keymgr/shell/DebugTrace.h"

#include "common/TraceFile.h"

void DebugTrace(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteTraceLine("ZVAPP_TRACE_FILE", format, args);
    va_end(args);
}
