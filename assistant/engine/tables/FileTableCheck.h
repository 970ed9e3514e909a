// One record of a file-check table and the check that walks such a table.
#pragma once

#include "assistant/engine/platform/FileSystem.h"
#include "assistant/engine/platform/Registry.h"
#include "assistant/engine/run/CheckRun.h"
#include "assistant/engine/tables/RegistryTableCheck.h"

#include <stdint.h>

#include <string>

enum { kFileCheckTextSize = 260 };

struct FileCheckEntry {
    char Name[kFileCheckTextSize];   // with a leading '\'
    int32_t FolderKind;
    unsigned char Group;             // 1 provider file, 0 component file
    unsigned char Found;             // written by the check
    unsigned char Enabled;
    char Kind[kFileCheckTextSize];   // "FILE"
};

enum FileGroup : unsigned char { kGroupComponent = 0, kGroupProvider = 1 };

// The folders a table's names are appended to, by folder kind.
struct CheckFolders {
    std::string systemDirectory;
    std::string firstVendorInstall;
    std::string programFiles;
    std::string secondVendorProvider;
    std::string signatureControl;
};

class FileTableCheck {
public:
    FileTableCheck(IRegistry &registry, ISystemFolders &folders, IFileSystem &files, ILog &log)
        : m_registry(registry), m_folders(folders), m_files(files), m_log(log) {}

    // 0 when every enabled entry of the group exists; else 1 (group 0) or 2 (group 1).
    int CheckFileTable(int folderSet, FileCheckEntry *entries, int count, unsigned char group);

    CheckFolders ResolveFolders();

private:
    IRegistry &m_registry;
    ISystemFolders &m_folders;
    IFileSystem &m_files;
    ILog &m_log;
};

// The folder a kind names within a folder set (1: first vendor, 0: second).
std::string FolderOfKind(const CheckFolders &folders, int folderSet, int kind);
// The text before the last '\' (empty when there is none).
std::string FolderPart(const std::string &path);
// The Program Files folder, empty when it cannot be read.
std::string ReadProgramFilesFolder(IRegistry &registry);
