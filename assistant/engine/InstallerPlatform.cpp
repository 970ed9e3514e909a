#include "assistant/engine/InstallerPlatform.h"

#include "assistant/engine/SignatureGate.h"

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

std::string CInstallerPlatform::TempFolder()
{
    char path[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof(path), path);
    if (n == 0 || n >= sizeof(path))
        return std::string();
    return std::string(path, n);
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

bool CInstallerPlatform::IsTrustedSigned(const std::string &path)
{
    return IsSignedByPinnedSigner(path, m_pin);
}

ProcessOutcome CInstallerPlatform::RunAndWait(const std::string &path)
{
    ProcessOutcome outcome;
    // The program is named on its own and quoted on the command line, so a
    // space in the folder cannot make another program run.
    std::string commandLine = "\"" + path + "\"";
    std::string buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), &buffer[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return outcome;
    outcome.started = true;
    // An installer takes as long as it takes; the worker is off the window
    // thread, so the dialog stays responsive meanwhile.
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) {
        outcome.exitKnown = true;
        outcome.exitCode = code;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}

bool CInstallerPlatform::ExtractBinResource(int resourceId, const std::string &path)
{
    return ::ExtractBinResource(resourceId, path.c_str());
}

bool ExtractBinResource(int resourceId, const char *path)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "BIN");
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void *bytes = loaded ? LockResource(loaded) : NULL;
    DWORD size = SizeofResource(module, found);
    if (!bytes || size == 0)
        return false;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, size, &written, NULL);
    CloseHandle(file);
    return ok && written == size;
}
