// Downloads through the URL moniker, bounded in time.
#pragma once

#include "assistant/engine/ClientPlatform.h"
#include "assistant/engine/NetworkProbe.h"

// A server that accepts and never answers blocks the download for minutes
// whatever time-outs are set, so each one runs on its own thread and is
// abandoned after this wait.
const DWORD kDownloadTimeLimitMs = kProbeTimeLimitMs;

class CUrlDownloader : public IDownloader {
public:
    explicit CUrlDownloader(DWORD waitMs = kDownloadTimeLimitMs) : m_waitMs(waitMs) {}
    bool IsConnected() override;
    void ForgetCached(const std::string &url) override;
    DownloadStatus Download(const std::string &url, const std::string &path) override;

private:
    DWORD m_waitMs;
};
