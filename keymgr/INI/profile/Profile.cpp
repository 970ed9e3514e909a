#include "keymgr/INI/profile/Profile.h"

#include "common/win32/ProgramPath.h"

namespace {

// One path derived from the program's own; 1 with an empty buffer when that
// path is missing or was cut.
int FromProgramPath(char *buffer, int (*derive)(const char *, char *, size_t))
{
    if (!buffer)
        return 1;
    char path[PROFILE_PATH_SIZE];
    if (!ReadProgramPath(path, sizeof(path))) {
        buffer[0] = '\0';
        return 1;
    }
    return derive(path, buffer, PROFILE_PATH_SIZE);
}

} // namespace

int CProfile::GetProgramIniPath(char *buffer)
{
    return FromProgramPath(buffer, ProgramIniPathFrom);
}

int CProfile::GetProgramFolder(char *buffer)
{
    return FromProgramPath(buffer, ProgramFolderFrom);
}
