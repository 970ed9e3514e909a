#include "keymgr/INI/store/Win32IniStore.h"

#include <windows.h>

namespace {

// The profile functions take a DWORD size.
DWORD ClampSize(size_t size)
{
    return size > 0x7FFFFFFFu ? 0x7FFFFFFFu : (DWORD)size;
}

} // namespace

size_t CWin32IniStore::GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                                 const char *file)
{
    if (!buffer || size == 0)
        return 0;
    return GetPrivateProfileStringA(section, key, def, buffer, ClampSize(size), file);
}

int CWin32IniStore::GetInt(const char *section, const char *key, int def, const char *file)
{
    return static_cast<int>(GetPrivateProfileIntA(section, key, def, file));
}

size_t CWin32IniStore::GetSection(const char *section, char *buffer, size_t size, const char *file)
{
    if (!buffer || size == 0)
        return 0;
    return GetPrivateProfileSectionA(section, buffer, ClampSize(size), file);
}

size_t CWin32IniStore::GetSectionNames(char *buffer, size_t size, const char *file)
{
    if (!buffer || size == 0)
        return 0;
    return GetPrivateProfileSectionNamesA(buffer, ClampSize(size), file);
}

bool CWin32IniStore::WriteString(const char *section, const char *key, const char *value, const char *file)
{
    // All three NULL would only flush the cache; that is no write.
    if (!section)
        return false;
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool CWin32IniStore::WriteSection(const char *section, const char *lines, const char *file)
{
    if (!section)
        return false;
    return WritePrivateProfileSectionA(section, lines, file) != FALSE;
}

IIniStore &DefaultIniStore()
{
    static CWin32IniStore store;
    return store;
}
