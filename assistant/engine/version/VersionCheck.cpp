#include "assistant/engine/version/VersionCheck.h"

#include "assistant/engine/version/VersionRules.h"

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
                DownloadKind kind, bool testConnection, bool *serverSilent)
{
    downloader.ForgetCached(url);
    // A leftover that cannot be removed is somebody's file: nothing is fetched over it.
    if (!platform.Remove(path) || *serverSilent)
        return false;
    bool connected = !testConnection || downloader.IsConnected();
    if (!connected) {
        platform.Pause(1);
        connected = downloader.IsConnected();
    }
    if (!connected)
        return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        DownloadStatus status = downloader.Download(url, path, kind);
        if (status == DownloadStatus::Ok)
            return true;
        if (status == DownloadStatus::TimedOut) {
            // A version file that does not come means a silent server; a
            // package that stalled half-way was answered, and the next one
            // may still come.
            if (kind == DownloadKind::VersionFile)
                *serverSilent = true;
            break;
        }
    }
    platform.Remove(path);
    return false;
}

bool VersionCheck::FetchVersionFile(std::string *localPath, bool testConnection)
{
    std::string folder = m_platform.WorkFolder();
    if (folder.empty())
        return false;
    *localPath = folder + "Version.ini";
    return FetchFresh(m_downloader, m_platform, Address(kVersionFilePath), *localPath, DownloadKind::VersionFile,
                      testConnection, &m_serverSilent);
}

int VersionCheck::InstalledIsAtLeast(int kind, const std::string &published)
{
    const VersionKindInfo *info = FindVersionKind(kind);
    std::unique_ptr<IRegistryKey> key = m_registry.OpenKey(kRootLocalMachine, kVersionKey);
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
    // The second vendor's CheckFileVer.dll stays until its signed package
    // has run: the version file itself proves nothing.
    if (!current && write)
        KeepPublished(kind, published);
    m_platform.Remove(local);
    return current;
}

void VersionCheck::KeepPublished(int kind, const std::string &published)
{
    if (kind >= 1 && kind <= kVersionKindCount)
        m_pending[kind] = published;
}

bool VersionCheck::AdmitPackage(int kind, const std::string &packageForm)
{
    const VersionKindInfo *info = FindVersionKind(kind);
    if (!info || !IsPublishedVersion(packageForm))
        return false;
    std::unique_ptr<IRegistryKey> key = m_registry.OpenKey(kRootLocalMachine, kVersionKey);
    char installed[261];
    // An old signed release served in place of the new one would undo the
    // installed version's fixes.
    if (key && ReadRegistryString(*key, info->valueName, installed, sizeof(installed)) &&
        CompareVersionForms(packageForm, NormaliseInstalledVersion(installed)) < 0)
        return false;
    std::string &pending = m_pending[kind];
    if (!pending.empty() && CompareVersionForms(packageForm, pending) < 0)
        pending = packageForm;
    return true;
}

bool VersionCheck::StorePublished(int kind)
{
    const VersionKindInfo *info = FindVersionKind(kind);
    if (!info || m_pending[kind].empty())
        return false;
    if (!m_registry.OpenKey(kRootLocalMachine, kVersionKey))
        return false;
    bool stored = m_platform.WriteVersionValue(kVersionKey, info->valueName, m_pending[kind]);
    m_pending[kind].clear();
    return stored;
}
