// URLSet.ini through the platform's private-profile functions.
#pragma once

#include "keymgr/shell/WebSetProfile.h"

#include <stddef.h>

#include <functional>

class CWebSetFile : public IWebSetProfile {
public:
    // The file in the program folder.
    CWebSetFile();
    explicit CWebSetFile(const char *path);

    // "<program folder>\URLSet.ini"; false (empty) when the folder is unknown
    // or the path does not fit.
    static bool ProgramFilePath(char *out, size_t size);
    const char *Path() const { return m_path; }

    int GetInt(const char *section, const char *key, int def) override;
    size_t GetString(const char *section, const char *key, const char *def, char *buffer, size_t size) override;
    bool WriteString(const char *section, const char *key, const char *value) override;

    // Runs edit over a copy of the file made in the same folder, then puts
    // the copy in the file's place in one step, so that a reader meanwhile
    // sees the old file or the new one, never a part. False, with the file
    // as it was, when a step fails or edit returns false.
    bool Update(const std::function<bool(IWebSetProfile &)> &edit);

private:
    char m_path[260];
};
