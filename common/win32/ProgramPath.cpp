#include "common/win32/ProgramPath.h"

#include <windows.h>

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

std::string ProgramPath()
{
    char path[MAX_PATH];
    if (!ReadProgramPath(path, sizeof(path)))
        return std::string();
    return std::string(path);
}
