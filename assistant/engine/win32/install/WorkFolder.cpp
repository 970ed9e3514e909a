#include "assistant/engine/win32/install/WorkFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <string.h>

const char kWorkFolderSecurity[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

namespace {
// The descriptor made from kWorkFolderSecurity, freed with the object.
class CFolderSecurity {
public:
    CFolderSecurity()
    {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kWorkFolderSecurity, SDDL_REVISION_1, &m_sd, NULL))
            m_sd = NULL;
    }
    ~CFolderSecurity()
    {
        if (m_sd)
            LocalFree(m_sd);
    }
    PSECURITY_DESCRIPTOR Get() const { return m_sd; }

private:
    PSECURITY_DESCRIPTOR m_sd = NULL;
};

bool IsPartName(const char *name)
{
    size_t n = strlen(name);
    return n > 5 && _stricmp(name + n - 5, ".part") == 0;
}

bool IsPlainFolder(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes path a folder of ours: a link planted in its place is removed (not
// what it leads to), and the owner and access list are set again every
// time, since a folder that existed may have been made by anybody.
bool SecureFolder(const std::string &path, const CFolderSecurity &security)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!RemoveDirectoryA(path.c_str()))
            return false;
        attributes = INVALID_FILE_ATTRIBUTES;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        SECURITY_ATTRIBUTES sa = {sizeof(sa), security.Get(), FALSE};
        if (!CreateDirectoryA(path.c_str(), &sa) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    if (!IsPlainFolder(path))
        return false;
    PSID owner = NULL;
    PACL dacl = NULL;
    BOOL defaulted = FALSE, present = FALSE;
    if (!GetSecurityDescriptorOwner(security.Get(), &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(security.Get(), &present, &dacl, &defaulted) || !owner || !present || !dacl)
        return false;
    DWORD rc = SetNamedSecurityInfoA(const_cast<char *>(path.c_str()), SE_FILE_OBJECT,
                                     OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                         PROTECTED_DACL_SECURITY_INFORMATION,
                                     owner, NULL, dacl, NULL);
    return rc == ERROR_SUCCESS && IsPlainFolder(path);
}

// Whatever lies in the folder from before (a file planted while it was not
// yet ours, an installer's DLL beside it) is removed; one that cannot be
// makes the folder unusable. A transfer given up earlier may still hold its
// ".part" file: no program loads that name, so it may stay.
bool EmptyFolder(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool emptied = true;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string path = folder + found.cFileName;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path.c_str()) && !IsPartName(found.cFileName))
            emptied = false;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return emptied;
}
}  // namespace

std::string PrepareWorkFolderUnder(const std::string &base)
{
    CFolderSecurity security;
    if (!security.Get() || base.empty())
        return std::string();
    std::string top = base;
    if (top[top.size() - 1] != '\\')
        top += '\\';
    top += "Orvane_Assistant";
    std::string work = top + "\\Work";
    if (!SecureFolder(top, security) || !SecureFolder(work, security))
        return std::string();
    work += '\\';
    return EmptyFolder(work) ? work : std::string();
}

std::string PrepareWorkFolder()
{
    char common[MAX_PATH];
    if (FAILED(SHGetFolderPathA(NULL, CSIDL_COMMON_APPDATA, NULL, SHGFP_TYPE_CURRENT, common)))
        return std::string();
    return PrepareWorkFolderUnder(common);
}
