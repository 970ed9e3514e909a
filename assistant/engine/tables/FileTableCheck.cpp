#include "assistant/engine/tables/FileTableCheck.h"

#include <stdio.h>
#include <string.h>

static const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\windows\\CurrentVersion";
static const char kVendorOneKey[] = "SOFTWARE\\Kessaline\\VK820Auto_LCCBBank";
static const char kZanvoProviderKey[] =
    "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Zanvo Cryptographic Service Provider";
static const char kSignatureServerKey[] =
    "SOFTWARE\\Classes\\CLSID\\{F3E92562-1B4D-4BFA-B2D4-E9BCABE3B5CE}\\InprocServer32";

static std::string ReadText(IRegistry &registry, const char *subKey, const char *name, bool *keyFound = nullptr)
{
    std::unique_ptr<IRegistryKey> key = registry.OpenKey(kRootLocalMachine, subKey);
    if (keyFound)
        *keyFound = key != nullptr;
    char text[kFileCheckTextSize];
    if (!key || !ReadRegistryString(*key, name, text, sizeof(text)))
        return std::string();
    return text;
}

std::string FolderPart(const std::string &path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ReadProgramFilesFolder(IRegistry &registry)
{
    return ReadText(registry, kCurrentVersionKey, "ProgramFilesDir");
}

CheckFolders FileTableCheck::ResolveFolders()
{
    CheckFolders f;
    f.systemDirectory = m_folders.SystemDirectory();
    f.programFiles = ReadProgramFilesFolder(m_registry);
    f.firstVendorInstall = ReadText(m_registry, kVendorOneKey, "Path");
    f.secondVendorProvider = FolderPart(ReadText(m_registry, kZanvoProviderKey, "realPath"));
    bool serverKey = false;
    std::string server = ReadText(m_registry, kSignatureServerKey, "", &serverKey);
    f.signatureControl = serverKey ? FolderPart(server) : f.programFiles + "\\岚川银行网银签名控件";
    return f;
}

std::string FolderOfKind(const CheckFolders &f, int folderSet, int kind)
{
    bool first = folderSet == 1;
    switch (kind) {
    case 0:
        return first ? f.systemDirectory : f.secondVendorProvider;
    case 1:
        return first ? f.firstVendorInstall : f.secondVendorProvider;
    case 2:
        return f.programFiles;
    case 3:
        return first ? f.programFiles.substr(0, 2) : f.secondVendorProvider;
    case 5:
        return first ? f.programFiles + "\\VELDRA Security Suite 2.3" : f.secondVendorProvider;
    case 6:
        return f.signatureControl;
    default:
        return std::string();
    }
}

int FileTableCheck::CheckFileTable(int folderSet, FileCheckEntry *entries, int count, unsigned char group)
{
    CheckFolders folders = ResolveFolders();
    bool missing = false;
    for (int i = 0; entries && i < count; ++i) {
        FileCheckEntry &e = entries[i];
        if (e.Enabled != 1 || e.Group != group)
            continue;
        std::string path = FolderOfKind(folders, folderSet, e.FolderKind) +
                           std::string(e.Name, strnlen(e.Name, sizeof(e.Name)));
        e.Found = m_files.Exists(path) ? 1 : 0;
        if (!e.Found) {
            missing = true;
            char line[kFileCheckTextSize + 64];
            snprintf(line, sizeof(line), "文件\"%s\"不存在!", path.c_str());
            m_log.WriteLog(line);
        }
    }
    if (!missing)
        return 0;
    return group == kGroupProvider ? 2 : 1;
}
