#include "assistant/host/HostTrace.h"

#include "common/TraceFile.h"

void HostTrace(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteTraceLine("ORVANE_TRACE_FILE", format, args);
    va_end(args);
}
