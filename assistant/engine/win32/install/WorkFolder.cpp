#include "assistant/engine/win32/install/WorkFolder.h"

#include <sddl.h>
#include <shlobj.h>
#include <aclapi.h>

#include <stdio.h>

FolderMade CWin32FolderSystem::CreateSecured(const std::string &path)
{
    PSECURITY_DESCRIPTOR sd = NULL;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kWorkFolderSecurity, SDDL_REVISION_1, &sd, NULL))
        return FolderMade::Failed;
    // In the creating call: there is no moment when the folder is anybody's.
    SECURITY_ATTRIBUTES sa = {sizeof(sa), sd, FALSE};
    BOOL made = CreateDirectoryA(path.c_str(), &sa);
    DWORD error = GetLastError();
    LocalFree(sd);
    if (made)
        return FolderMade::Created;
    return error == ERROR_ALREADY_EXISTS ? FolderMade::Exists : FolderMade::Failed;
}

FolderFacts CWin32FolderSystem::Hold(const std::string &path)
{
    FolderFacts facts;
    DWORD byName = GetFileAttributesA(path.c_str());
    // The link itself, never its target; no one may rename or remove it
    // while it is held.
    HANDLE folder = CreateFileA(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (byName == INVALID_FILE_ATTRIBUTES || folder == INVALID_HANDLE_VALUE) {
        if (folder != INVALID_HANDLE_VALUE)
            CloseHandle(folder);
        return facts;
    }
    m_held.push_back(folder);
    BY_HANDLE_FILE_INFORMATION info;
    DWORD byHandle = GetFileInformationByHandle(folder, &info) ? info.dwFileAttributes : 0;
    facts.exists = true;
    facts.directory = (byName & byHandle & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Some platforms show a link only by its name, others only on the handle.
    facts.reparsePoint = ((byName | byHandle) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    PSECURITY_DESCRIPTOR sd = NULL;
    char *text = NULL;
    const SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, what, NULL, NULL, NULL, NULL, &sd) == ERROR_SUCCESS &&
        ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, what, &text, NULL)) {
        facts.security = text;
        LocalFree(text);
    }
    if (sd)
        LocalFree(sd);
    return facts;
}

void CWin32FolderSystem::ReleaseAll()
{
    for (HANDLE h : m_held)
        CloseHandle(h);
    m_held.clear();
}

bool CWin32FolderSystem::RemoveEmpty(const std::string &path)
{
    return RemoveDirectoryA(path.c_str()) != 0;
}

std::string CWin32FolderSystem::RunTag()
{
    char tag[32];
    snprintf(tag, sizeof(tag), "%lu-%lu", GetCurrentProcessId(), GetTickCount());
    return tag;
}

std::string CommonDataFolder()
{
    char common[MAX_PATH];
    if (FAILED(SHGetFolderPathA(NULL, CSIDL_COMMON_APPDATA, NULL, SHGFP_TYPE_CURRENT, common)))
        return std::string();
    return common;
}
