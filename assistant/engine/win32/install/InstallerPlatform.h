// Files, the version file, the version values, resources and child
// processes of the update and repair sequences.
#pragma once

#include "assistant/engine/platform/ClientPlatform.h"
#include "assistant/engine/win32/install/HeldFile.h"
#include "assistant/engine/win32/install/WorkFolder.h"

#include <windows.h>

// The repair's question to the user.
class IYesNoPrompt {
public:
    virtual ~IYesNoPrompt() {}
    virtual bool AskYesNo(const char *text, const char *caption) = 0;
};

// A message box owned by the dialog (modal to it while the worker waits).
class CMessageBoxPrompt : public IYesNoPrompt {
public:
    explicit CMessageBoxPrompt(HWND owner = NULL) : m_owner(owner) {}
    void SetOwner(HWND owner) { m_owner = owner; }
    bool AskYesNo(const char *text, const char *caption) override;

private:
    HWND m_owner;
};

class CInstallerPlatform : public IUpdatePlatform {
public:
    CInstallerPlatform(IYesNoPrompt &prompt, const std::string &signerPin) : m_prompt(prompt), m_pin(signerPin) {}

    bool Exists(const std::string &path) override;
    bool Remove(const std::string &path) override;
    std::string WorkFolder() override;
    void EndRun() override;
    bool ReadIniValue(const std::string &path, const char *section, const char *key, std::string *value) override;
    bool WriteVersionValue(const char *subKey, const char *name, const std::string &value) override;
    std::unique_ptr<IHeldFile> WriteInstaller(int resourceId, const std::string &path) override;
    std::unique_ptr<IHeldFile> HoldFile(const std::string &path) override;
    bool ExtractBinResource(int resourceId, const std::string &path) override;
    bool AskYesNo(const char *text, const char *caption) override { return m_prompt.AskYesNo(text, caption); }
    void Pause(uint32_t ms) override { Sleep(ms); }

    // Runs before each start of a held file (the test driver's seam).
    void SetStartSeam(const StartSeam &seam) { m_seam = seam; }

private:
    IYesNoPrompt &m_prompt;
    std::string m_pin;
    StartSeam m_seam;
    CWin32FolderSystem m_folders;
    std::unique_ptr<RunFolder> m_run;
};

// The bytes of this program's "BIN" resource; false when it has none.
bool FindBinResource(int resourceId, const void **bytes, DWORD *size);
// Writes the "BIN" resource whole in place of path: to a new file beside
// it, then swapped in, so a failure leaves the old file as it was.
bool ExtractBinResource(int resourceId, const char *path);
