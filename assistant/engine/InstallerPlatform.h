// Files, the version file, the version values, resources and child
// processes of the update and repair sequences.
#pragma once

#include "assistant/engine/ClientPlatform.h"

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
    std::string TempFolder() override;
    bool ReadIniValue(const std::string &path, const char *section, const char *key, std::string *value) override;
    bool WriteVersionValue(const char *subKey, const char *name, const std::string &value) override;
    bool IsTrustedSigned(const std::string &path) override;
    ProcessOutcome RunAndWait(const std::string &path) override;
    bool ExtractBinResource(int resourceId, const std::string &path) override;
    bool AskYesNo(const char *text, const char *caption) override { return m_prompt.AskYesNo(text, caption); }
    void Pause(uint32_t ms) override { Sleep(ms); }

private:
    IYesNoPrompt &m_prompt;
    std::string m_pin;
};

// Writes the "BIN" resource of this program to path; false on any failing step.
bool ExtractBinResource(int resourceId, const char *path);
