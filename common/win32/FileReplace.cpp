#include "common/win32/FileReplace.h"

#include <windows.h>

bool ReplaceWholeFile(const char *from, const char *to)
{
    // Another program's reader (the tray agent's handler threads read the
    // web settings at any time) keeps the old file for a moment.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt >= 50)
            return false;
        Sleep(10);
    }
}
