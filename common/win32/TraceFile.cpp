#include "common/win32/TraceFile.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

static const char *TraceFile(TracePathSource source)
{
    static char path[MAX_PATH];
    static bool read = false;
    if (!read) {
        path[0] = '\0';
        if (source)
            source(path, sizeof(path));
        path[sizeof(path) - 1] = '\0';
        read = true;
    }
    return path[0] ? path : NULL;
}

void WriteTraceLine(TracePathSource source, const char *format, va_list args)
{
    char line[2048];
    vsnprintf(line, sizeof(line), format, args);
    OutputDebugStringA(line);
    const char *path = TraceFile(source);
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
