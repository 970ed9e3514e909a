// URLSet.ini through the platform's private-profile functions.
#pragma once

#include "keymgr/shell/WebSetProfile.h"

#include <stddef.h>

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

private:
    char m_path[260];
};
