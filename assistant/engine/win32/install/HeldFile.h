// A file held open from its write (or, for a download, from its completion)
// until its process has started: others may read it, but not write, rename
// or delete it, so the file whose signature was checked is the one that runs.
#pragma once

#include "assistant/engine/platform/ClientPlatform.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

// Called with the path just before the start (a test's seam).
typedef std::function<void(const std::string &path)> StartSeam;

class CHeldFile : public IHeldFile {
public:
    ~CHeldFile() override;

    // Writes bytes to a new file at path (an existing file is not replaced)
    // and holds it; null when it cannot. signerPin is the signer it must carry.
    static std::unique_ptr<CHeldFile> WriteNew(const std::string &path, const void *bytes, DWORD size,
                                               const std::string &signerPin);
    // Holds a complete file; null when it is missing or someone else has it
    // open for writing or deleting.
    static std::unique_ptr<CHeldFile> Open(const std::string &path, const std::string &signerPin);

    void SetStartSeam(const StartSeam &seam) { m_seam = seam; }

    bool IsTrustedSigned() override;
    bool ReadFileVersion(uint16_t (&version)[4]) override;
    // Starts in the file's own folder, with an environment of the machine's
    // folders only and that folder as TEMP and TMP.
    ProcessOutcome RunAndWait() override;

private:
    CHeldFile(const std::string &path, HANDLE hold, const std::string &pin) : m_path(path), m_hold(hold), m_pin(pin) {}
    void Release();

    std::string m_path;
    HANDLE m_hold;
    std::string m_pin;
    StartSeam m_seam;
};
