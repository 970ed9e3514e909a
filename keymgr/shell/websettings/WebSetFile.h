// URLSet.ini as an INI file of the program's profile store (the platform's
// private-profile functions), with its whole-file update.
#pragma once

#include "keymgr/INI/Ini.h"

#include <stddef.h>

#include <functional>

class CWebSetFile : public CIni {
public:
    // The file in the program folder.
    CWebSetFile();
    // The path is kept to 259 bytes, as the platform's paths are.
    explicit CWebSetFile(const char *path);

    // "<program folder>\URLSet.ini"; false (empty) when the folder is unknown
    // or the path does not fit.
    static bool ProgramFilePath(char *out, size_t size);
    const char *Path() const { return GetPathName(); }

    // Runs edit over a copy of the file made in the same folder, then puts
    // the copy in the file's place in one step, so that a reader meanwhile
    // sees the old file or the new one, never a part. False, with the file
    // as it was, when a step fails or edit returns false.
    bool Update(const std::function<bool(CIni &)> &edit);
};
