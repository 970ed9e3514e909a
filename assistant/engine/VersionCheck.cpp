#include "assistant/engine/VersionCheck.h"

#include "assistant/engine/VersionRules.h"

const char kVersionKey[] = "SOFTWARE\\Kessaline\\VK820Auto_LCCBBank";
const char kVersionFilePath[] = "/bankremote/lccb/Version.ini";

static const VersionKindInfo kKinds[kVersionKindCount] = {
    {"SOVAN", "Version"},
    {"ZVVer", "ZVVer"},
    {"PSVer", "PSVer"},
    {"SIGNVer", "SIGNVer"},
    {"PRINTERVer", "PRINTERVer"},
};

const VersionKindInfo *FindVersionKind(int kind)
{
    return kind >= 1 && kind <= kVersionKindCount ? &kKinds[kind - 1] : nullptr;
}

std::string VersionCheck::Address(const char *file) const
{
    return "http://" + m_host + file;
}

void VersionCheck::StartRun()
{
    m_serverSilent = false;
    for (std::string &p : m_pending)
        p.clear();
}

bool FetchFresh(IDownloader &downloader, IUpdatePlatform &platform, const std::string &url, const std::string &path,
                bool *serverSilent)
{
    downloader.ForgetCached(url);
    platform.Remove(path);
    if (*serverSilent)
        return false;
    bool connected = downloader.IsConnected();
    if (!connected) {
        platform.Pause(1);
        connected = downloader.IsConnected();
    }
    if (!connected)
        return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        DownloadStatus status = downloader.Download(url, path);
        if (status == DownloadStatus::Ok)
            return true;
        if (status == DownloadStatus::TimedOut) {
            *serverSilent = true;
            break;
        }
    }
    platform.Remove(path);
    return false;
}

bool VersionCheck::FetchVersionFile(std::string *localPath)
{
    *localPath = m_platform.TempFolder() + "Version.ini";
    return FetchFresh(m_downloader, m_platform, Address(kVersionFilePath), *localPath, &m_serverSilent);
}

int VersionCheck::InstalledIsAtLeast(int kind, const std::string &published)
{
    const VersionKindInfo *info = FindVersionKind(kind);
    std::unique_ptr<IRegistryKey> key = m_registry.OpenKey(kRootLocalMachine, kVersionKey, RegAccess::Query);
    char installed[261];
    if (!info || !key || !ReadRegistryString(*key, info->valueName, installed, sizeof(installed)))
        return 0;
    return InstalledIsCurrent(installed, published);
}

bool VersionCheck::ReadPublishedVersion(const std::string &localPath, const char *section, std::string *published)
{
    return m_platform.ReadIniValue(localPath, section, "VER", published) && IsPublishedVersion(*published);
}

int VersionCheck::CheckComponentVersion(int kind, bool write)
{
    const VersionKindInfo *info = FindVersionKind(kind);
    if (!info)
        return 0;
    std::string local;
    if (!FetchVersionFile(&local))
        return 0;
    std::string published;
    if (!ReadPublishedVersion(local, info->section, &published)) {
        m_platform.Remove(local);
        return 0;
    }
    int current = InstalledIsAtLeast(kind, published);
    if (!current && write) {
        if (kind == 2) {
            std::string programFiles = ReadProgramFilesFolder(m_registry);
            if (!programFiles.empty())
                m_platform.Remove(programFiles + "\\OstraCSP20407\\OstraCSP20407\\CheckFileVer.dll");
        }
        KeepPublished(kind, published);
    }
    m_platform.Remove(local);
    return current;
}

void VersionCheck::KeepPublished(int kind, const std::string &published)
{
    if (kind >= 1 && kind <= kVersionKindCount)
        m_pending[kind] = published;
}

bool VersionCheck::StorePublished(int kind)
{
    const VersionKindInfo *info = FindVersionKind(kind);
    if (!info || m_pending[kind].empty())
        return false;
    if (!m_registry.OpenKey(kRootLocalMachine, kVersionKey, RegAccess::Query))
        return false;
    bool stored = m_platform.WriteVersionValue(kVersionKey, info->valueName, m_pending[kind]);
    m_pending[kind].clear();
    return stored;
}
