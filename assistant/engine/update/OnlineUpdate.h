// The online update: which components are out of date, then their packages
// fetched from the update server and run.
#pragma once

#include "assistant/engine/client/ClientChecks.h"

struct DownloadKindInfo;

struct UpdateServices {
    ClientCheckServices checks;
    IDownloader &downloader;
    IUpdatePlatform &platform;
    const std::string &probeUrl;
};

class OnlineUpdate {
public:
    OnlineUpdate(CheckRun &run, UpdateServices services) : m_run(run), m_s(services) {}

    // 0 when the network cannot be reached, else 1.
    int RunOnlineUpdate();
    // 1 when the package ran and did not exit with 4.
    int DownloadAndRunUpdate(int kind);

private:
    bool ClientCurrent(int vendor);
    void ReportPackageFailure(int kind);
    bool AdmitsVersion(IHeldFile &held, const DownloadKindInfo *info);

    CheckRun &m_run;
    UpdateServices m_s;
};

struct DownloadKindInfo {
    const char *package;   // on the server, under /bankremote/lccb/
    const char *localName; // in the work folder
    int versionKind;
};

// Kinds 1..5; null otherwise.
const DownloadKindInfo *FindDownloadKind(int kind);
