#include "assistant/engine/win32/install/InstallerPlatform.h"

#include "common/win32/FileReplace.h"

bool CMessageBoxPrompt::AskYesNo(const char *text, const char *caption)
{
    return MessageBoxA(m_owner, text, caption, MB_YESNO) == IDYES;
}

bool CInstallerPlatform::Exists(const std::string &path)
{
    // A folder of the same name is not the component's file.
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CInstallerPlatform::Remove(const std::string &path)
{
    DeleteFileA(path.c_str());
    return !Exists(path);
}

std::string CInstallerPlatform::WorkFolder()
{
    // Asked for at the first run, not when the program starts.
    if (!m_run)
        m_run.reset(new RunFolder(m_folders, CommonDataFolder()));
    return m_run->Path();
}

void CInstallerPlatform::EndRun()
{
    if (m_run)
        m_run->End();
}

bool CInstallerPlatform::ReadIniValue(const std::string &path, const char *section, const char *key, std::string *value)
{
    char text[261] = {0};
    GetPrivateProfileStringA(section, key, "", text, sizeof(text), path.c_str());
    *value = text;
    return !value->empty();
}

bool CInstallerPlatform::WriteVersionValue(const char *subKey, const char *name, const std::string &value)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

std::unique_ptr<IHeldFile> CInstallerPlatform::WriteInstaller(int resourceId, const std::string &path)
{
    const void *bytes = NULL;
    DWORD size = 0;
    if (!FindBinResource(resourceId, &bytes, &size))
        return nullptr;
    std::unique_ptr<CHeldFile> held = CHeldFile::WriteNew(path, bytes, size, m_pin);
    if (held)
        held->SetStartSeam(m_seam);
    return std::unique_ptr<IHeldFile>(held.release());
}

std::unique_ptr<IHeldFile> CInstallerPlatform::HoldFile(const std::string &path)
{
    std::unique_ptr<CHeldFile> held = CHeldFile::Open(path, m_pin);
    if (held)
        held->SetStartSeam(m_seam);
    return std::unique_ptr<IHeldFile>(held.release());
}

bool CInstallerPlatform::ExtractBinResource(int resourceId, const std::string &path)
{
    return ::ExtractBinResource(resourceId, path.c_str());
}

bool FindBinResource(int resourceId, const void **bytes, DWORD *size)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "BIN");
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    *bytes = loaded ? LockResource(loaded) : NULL;
    *size = SizeofResource(module, found);
    return *bytes && *size != 0;
}

bool ExtractBinResource(int resourceId, const char *path)
{
    const void *bytes = NULL;
    DWORD size = 0;
    if (!FindBinResource(resourceId, &bytes, &size))
        return false;
    // The user's settings file is replaced whole: a cut-off write must never
    // leave it half old, half new.
    std::string temp = std::string(path) + ".new";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, size, &written, NULL) && written == size;
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    if (!ok || !ReplaceWholeFile(temp.c_str(), path)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}
