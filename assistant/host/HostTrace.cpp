#include "assistant/host/HostTrace.h"

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const char *TraceFile()
{
    static char path[MAX_PATH];
    static bool read = false;
    if (!read) {
        DWORD n = GetEnvironmentVariableA("ORVANE_TRACE_FILE", path, sizeof(path));
        if (n == 0 || n >= sizeof(path))
            path[0] = '\0';
        read = true;
    }
    return path[0] ? path : NULL;
}

void HostTrace(const char *format, ...)
{
    char line[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    OutputDebugStringA(line);
    const char *path = TraceFile();
    if (!path)
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}
