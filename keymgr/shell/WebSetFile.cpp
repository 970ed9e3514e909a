#include "keymgr/shell/WebSetFile.h"

#include "common/BoundedCopy.h"
#include "common/FileReplace.h"
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

bool CWebSetFile::Update(const std::function<bool(IWebSetProfile &)> &edit)
{
    char folder[sizeof(m_path)];
    CopyBounded(folder, sizeof(folder), m_path);
    char *slash = strrchr(folder, '\\');
    if (!m_path[0] || !slash)
        return false;
    *slash = '\0';
    char temp[MAX_PATH];
    if (GetTempFileNameA(folder, "URL", 0, temp) == 0)
        return false;
    // An absent file is no error: the edit starts from an empty one.
    bool ok = CopyFileA(m_path, temp, FALSE) || GetLastError() == ERROR_FILE_NOT_FOUND;
    if (ok) {
        CWebSetFile copy(temp);
        ok = edit(copy);
    }
    // Writes out and drops the platform's cached copy of the temporary file.
    WritePrivateProfileStringA(NULL, NULL, NULL, temp);
    if (ok)
        ok = ReplaceWholeFile(temp, m_path);
    if (!ok)
        DeleteFileA(temp);
    return ok;
}
