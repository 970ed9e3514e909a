// What the client, update and repair sequences need from the platform,
// beyond the registry reads and system queries of the system check.
#pragma once

#include "assistant/engine/FileCheckEntry.h"

#include <stdint.h>

#include <string>

// The token as the vendor's CSP shows it.
class ITokenAccess {
public:
    virtual ~ITokenAccess() {}
    // 0 when a context of the CSP was acquired, else the last error.
    virtual uint32_t AcquireContext(const char *cspName) = 0;
    // Container names of non-zero length; -1 when no context was acquired.
    virtual int CountContainers(const char *cspName) = 0;
    // Whether a named mutex opens; *lastError is set when it does not.
    virtual bool OpenNamedMutex(const char *name, uint32_t *lastError) = 0;
};

enum class DownloadStatus { Ok, Failed, TimedOut };

class IDownloader {
public:
    virtual ~IDownloader() {}
    virtual bool IsConnected() = 0;
    virtual void ForgetCached(const std::string &url) = 0;
    // Bounded in time: a server that never answers gives TimedOut.
    virtual DownloadStatus Download(const std::string &url, const std::string &path) = 0;
};

struct ProcessOutcome {
    bool started = false;
    bool exitKnown = false;
    uint32_t exitCode = 0;
};

class IUpdatePlatform : public IFileSystem {
public:
    // With its trailing '\', as GetTempPathA gives it.
    virtual std::string TempFolder() = 0;
    // False when the section or key is missing.
    virtual bool ReadIniValue(const std::string &path, const char *section, const char *key, std::string *value) = 0;
    // Stores a REG_SZ under the vendor's version key; false when it cannot.
    virtual bool WriteVersionValue(const char *subKey, const char *name, const std::string &value) = 0;
    // Whether the file carries a valid signature of the pinned signer.
    virtual bool IsTrustedSigned(const std::string &path) = 0;
    // Starts the file with no arguments and waits for it to end.
    virtual ProcessOutcome RunAndWait(const std::string &path) = 0;
    virtual bool ExtractBinResource(int resourceId, const std::string &path) = 0;
    // Yes or no from the user (a box owned by the dialog).
    virtual bool AskYesNo(const char *text, const char *caption) = 0;
    virtual void Pause(uint32_t ms) = 0;
};
