// The platform's private-profile functions as an IIniStore.
#pragma once

#include "keymgr/INI/store/IniStore.h"

class CWin32IniStore : public IIniStore {
public:
    size_t GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                     const char *file) override;
    size_t GetSection(const char *section, char *buffer, size_t size, const char *file) override;
    size_t GetSectionNames(char *buffer, size_t size, const char *file) override;
    int GetInt(const char *section, const char *key, int def, const char *file) override;
    bool WriteString(const char *section, const char *key, const char *value, const char *file) override;
    bool WriteSection(const char *section, const char *lines, const char *file) override;
};
