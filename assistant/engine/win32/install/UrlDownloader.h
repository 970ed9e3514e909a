// Downloads through the URL moniker, bounded by time or by lack of progress.
#pragma once

#include "assistant/engine/platform/ClientPlatform.h"
#include "assistant/engine/win32/system/NetworkProbe.h"

// A server that accepts and never answers blocks the download for minutes
// whatever time-outs are set, so each one runs on its own thread: a version
// file is given up after this long in all...
const DWORD kVersionFileTimeLimitMs = kProbeTimeLimitMs;
// ...a package only when no byte has arrived for this long, however long
// the whole transfer takes on a slow line.
const DWORD kPackageStallLimitMs = 30000;

class CUrlDownloader : public IDownloader {
public:
    explicit CUrlDownloader(DWORD versionFileMs = kVersionFileTimeLimitMs, DWORD stallMs = kPackageStallLimitMs)
        : m_versionFileMs(versionFileMs), m_stallMs(stallMs) {}
    bool IsConnected() override;
    void ForgetCached(const std::string &url) override;
    // The transfer writes a fresh name beside path, which is renamed to path
    // once it is complete. One given up is cancelled (its binding told to
    // abort) and its file removed: it never writes path.
    DownloadStatus Download(const std::string &url, const std::string &path, DownloadKind kind) override;

private:
    DWORD m_versionFileMs;
    DWORD m_stallMs;
};
