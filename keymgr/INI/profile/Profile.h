// CProfile: the paths of the running program. Buffers are PROFILE_PATH_SIZE
// (260) bytes.
#pragma once

#include "keymgr/INI/profile/ProfilePaths.h"

class CProfile {
public:
    // 0, or 1 when no buffer is given or the path cannot be had.
    static int GetProgramIniPath(char *buffer);
    static int GetProgramFolder(char *buffer);
};
