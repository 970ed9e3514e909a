#include "keymgr/shell/websettings/WebSetFile.h"

#include "common/BoundedCopy.h"
#include "common/win32/FileReplace.h"
#include "keymgr/INI/profile/Profile.h"
#include "keymgr/shell/websettings/WebSettings.h"

#include <windows.h>
#include <string.h>

CWebSetFile::CWebSetFile()
{
    char path[MAX_PATH];
    ProgramFilePath(path, sizeof(path));
    SetPathName(path);
}

CWebSetFile::CWebSetFile(const char *path)
{
    char kept[MAX_PATH];
    CopyBounded(kept, sizeof(kept), path);
    SetPathName(kept);
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

bool CWebSetFile::Update(const std::function<bool(CIni &)> &edit)
{
    const char *path = Path();
    char folder[MAX_PATH];
    CopyBounded(folder, sizeof(folder), path);
    char *slash = strrchr(folder, '\\');
    if (!path[0] || !slash)
        return false;
    *slash = '\0';
    char temp[MAX_PATH];
    if (GetTempFileNameA(folder, "URL", 0, temp) == 0)
        return false;
    // An absent file is no error: the edit starts from an empty one.
    bool ok = CopyFileA(path, temp, FALSE) || GetLastError() == ERROR_FILE_NOT_FOUND;
    if (ok) {
        CWebSetFile copy(temp);
        ok = edit(copy);
    }
    // Writes out and drops the platform's cached copy of the temporary file.
    WritePrivateProfileStringA(NULL, NULL, NULL, temp);
    if (ok)
        ok = ReplaceWholeFile(temp, path);
    if (!ok)
        DeleteFileA(temp);
    return ok;
}
