#include "keymgr/INI/Profile.h"

#include "common/ProgramPath.h"

#include <windows.h>

namespace {

// The module path, or false when it is missing or was cut.
bool ModulePath(char (&path)[PROFILE_PATH_SIZE])
{
    return ReadProgramPath(path, PROFILE_PATH_SIZE);
}

} // namespace

int CProfile::GetProgramIniPath(char *buffer)
{
    if (!buffer)
        return 1;
    char path[PROFILE_PATH_SIZE];
    if (!ModulePath(path)) {
        buffer[0] = '\0';
        return 1;
    }
    return ProgramIniPathFrom(path, buffer, PROFILE_PATH_SIZE);
}

int CProfile::GetProgramFolder(char *buffer)
{
    if (!buffer)
        return 1;
    char path[PROFILE_PATH_SIZE];
    if (!ModulePath(path)) {
        buffer[0] = '\0';
        return 1;
    }
    return ProgramFolderFrom(path, buffer, PROFILE_PATH_SIZE);
}
