// The installed version of a component against the update server's version file.
#pragma once

#include "assistant/engine/platform/ClientPlatform.h"
#include "assistant/engine/platform/Registry.h"

#include <string>

enum { kVersionKindCount = 5 };

struct VersionKindInfo {
    const char *section;    // of Version.ini
    const char *valueName;  // under the vendor's version key
};

// Kinds 1..5; null otherwise.
const VersionKindInfo *FindVersionKind(int kind);

extern const char kVersionKey[];
extern const char kVersionFilePath[];

class VersionCheck {
public:
    VersionCheck(IRegistry &registry, IDownloader &downloader, IUpdatePlatform &platform, const std::string &updateHost)
        : m_registry(registry), m_downloader(downloader), m_platform(platform), m_host(updateHost) {}

    // 1 when the installed version is at least the published one. With
    // write, a newer published version is kept for StorePublished.
    int CheckComponentVersion(int kind, bool write);

    // Fetches Version.ini to the work folder; false when it could not.
    // The version check tests the connection first; the update's own
    // fetch does not.
    bool FetchVersionFile(std::string *localPath, bool testConnection = true);
    // The section's VER value of a fetched version file, when it is a
    // published version (a cut-off or broken file gives none).
    bool ReadPublishedVersion(const std::string &localPath, const char *section, std::string *published);
    // 1 when the installed value of kind is at least published.
    int InstalledIsAtLeast(int kind, const std::string &published);
    // Records the version kept for kind, once its package has run; only
    // into a version key that already exists.
    bool StorePublished(int kind);
    void KeepPublished(int kind, const std::string &published);
    // Whether a signed package of version packageForm may run for kind: not
    // when it is older than the installed version. The version kept for
    // kind is then lowered to the package's own.
    bool AdmitPackage(int kind, const std::string &packageForm);

    std::string Address(const char *file) const;
    // Once a fetch has run out of time, the server is taken as silent for
    // the rest of the run: every later fetch would wait as long.
    bool ServerSilent() const { return m_serverSilent; }
    void MarkServerSilent() { m_serverSilent = true; }
    void StartRun();

private:
    IRegistry &m_registry;
    IDownloader &m_downloader;
    IUpdatePlatform &m_platform;
    std::string m_host;
    bool m_serverSilent = false;
    std::string m_pending[kVersionKindCount + 1];
};

// Fetches url to path: the cache entry and any old file removed first (none
// is fetched when an old file stays), with testConnection the connection
// tested twice, the download tried twice (once when it ran out of time; a
// version file that ran out of time also marks the server silent).
bool FetchFresh(IDownloader &downloader, IUpdatePlatform &platform, const std::string &url, const std::string &path,
                DownloadKind kind, bool testConnection, bool *serverSilent);
