#include "keymgr/shell/WebSetFile.h"

#include "common/BoundedCopy.h"
#include "keymgr/INI/Profile.h"
#include "keymgr/shell/WebSettings.h"

#include <windows.h>
#include <string.h>

CWebSetFile::CWebSetFile()
{
    ProgramFilePath(m_path, sizeof(m_path));
}

CWebSetFile::CWebSetFile(const char *path)
{
    CopyBounded(m_path, sizeof(m_path), path);
}

bool CWebSetFile::ProgramFilePath(char *out, size_t size)
{
    if (!out || size == 0)
        return false;
    out[0] = '\0';
    char folder[PROFILE_PATH_SIZE];
    if (CProfile::GetProgramFolder(folder) != 0 || !folder[0])
        return false;
    size_t need = strlen(folder) + 1 + strlen(WEBSET_FILE_NAME);
    if (need >= size)
        return false;
    CopyBounded(out, size, folder);
    AppendBounded(out, size, "\\");
    AppendBounded(out, size, WEBSET_FILE_NAME);
    return true;
}

int CWebSetFile::GetInt(const char *section, const char *key, int def)
{
    if (!m_path[0])
        return def;
    return (int)GetPrivateProfileIntA(section, key, def, m_path);
}

size_t CWebSetFile::GetString(const char *section, const char *key, const char *def, char *buffer, size_t size)
{
    if (!buffer || size == 0)
        return 0;
    buffer[0] = '\0';
    if (size > 1)
        buffer[1] = '\0';
    if (!m_path[0]) {
        if (key)
            CopyBounded(buffer, size, def);
        return strlen(buffer);
    }
    DWORD n = GetPrivateProfileStringA(section, key, def ? def : "", buffer, (DWORD)size, m_path);
    return n;
}

bool CWebSetFile::WriteString(const char *section, const char *key, const char *value)
{
    if (!m_path[0])
        return false;
    return WritePrivateProfileStringA(section, key, value, m_path) != FALSE;
}
