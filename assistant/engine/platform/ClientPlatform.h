// What the client, update and repair sequences need from the platform,
// beyond the registry reads and system queries of the system check.
#pragma once

#include "assistant/engine/platform/FileSystem.h"

#include <stdint.h>

#include <memory>
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

// A version file is small and bounded in total time; a package may take
// as long as it keeps arriving, and is given up only when it stalls.
enum class DownloadKind { VersionFile, Package };

class IDownloader {
public:
    virtual ~IDownloader() {}
    virtual bool IsConnected() = 0;
    virtual void ForgetCached(const std::string &url) = 0;
    // A server that stops answering gives TimedOut; path is written only by
    // a transfer that completed, never by one that was given up.
    virtual DownloadStatus Download(const std::string &url, const std::string &path, DownloadKind kind) = 0;
};

struct ProcessOutcome {
    bool started = false;
    bool exitKnown = false;
    uint32_t exitCode = 0;
    // Exit code 4 is an installer's failure; so is a status of error
    // severity (0xC0000000 and up), which is how a crashed process ends.
    bool Succeeded() const { return started && exitKnown && exitCode != 4 && exitCode < 0xC0000000u; }
};

// A file held open, others denied writing and deleting it, from its write
// or download until its process has started.
class IHeldFile {
public:
    virtual ~IHeldFile() {}
    // Whether the held content carries a valid signature of the pinned signer.
    virtual bool IsTrustedSigned() = 0;
    // The file version of the held content's version resource; false when
    // it has none.
    virtual bool ReadFileVersion(uint16_t (&version)[4]) = 0;
    // Starts the held file with no arguments, lets it go once the process
    // exists, and waits for the process to end.
    virtual ProcessOutcome RunAndWait() = 0;
};

class IUpdatePlatform : public IFileSystem {
public:
    // The folder of the version file, packages and installers, which only
    // administrators and SYSTEM can write, with its trailing '\': made
    // fresh at its first use in a run; "" when it cannot be made safe.
    virtual std::string WorkFolder() = 0;
    // Ends the run's use of the work folder (it is removed when empty).
    virtual void EndRun() = 0;
    // False when the section or key is missing.
    virtual bool ReadIniValue(const std::string &path, const char *section, const char *key, std::string *value) = 0;
    // Stores a REG_SZ under the vendor's version key; false when it cannot.
    virtual bool WriteVersionValue(const char *subKey, const char *name, const std::string &value) = 0;
    // Writes the resource to a new file at path (never over an existing
    // one) and holds it; null when it cannot.
    virtual std::unique_ptr<IHeldFile> WriteInstaller(int resourceId, const std::string &path) = 0;
    // Holds a complete file; null when it is missing or another has it open
    // for writing or deleting.
    virtual std::unique_ptr<IHeldFile> HoldFile(const std::string &path) = 0;
    // Writes the resource whole in place of path (written beside it, then
    // swapped in); false when it cannot, and the old file is left as it was.
    virtual bool ExtractBinResource(int resourceId, const std::string &path) = 0;
    // Yes or no from the user (a box owned by the dialog).
    virtual bool AskYesNo(const char *text, const char *caption) = 0;
    virtual void Pause(uint32_t ms) = 0;
};
