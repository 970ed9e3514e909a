#include "common/win32/ProgramPath.h"

#include "common/Gbk.h"

#include <windows.h>

#include <string.h>

bool ReadProgramPath(char *out, size_t size)
{
    if (!out || size == 0)
        return false;
    DWORD capacity = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    DWORD n = GetModuleFileNameA(NULL, out, capacity);
    if (n == 0 || n >= capacity) {
        out[0] = '\0';
        return false;
    }
    out[n] = '\0';
    return true;
}

bool ReadProgramFolder(char *out, size_t size)
{
    if (!ReadProgramPath(out, size))
        return false;
    size_t slash = GbkLastBackslash(out, strlen(out));
    if (slash == GBK_NONE) {
        out[0] = '\0';
        return false;
    }
    out[slash] = '\0';
    return true;
}

std::string ProgramPath()
{
    char path[MAX_PATH];
    if (!ReadProgramPath(path, sizeof(path)))
        return std::string();
    return std::string(path);
}
