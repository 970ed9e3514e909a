// The platform under the link rules: the desktop shell's ShellExecute,
// HKLM alone, and a program started by its full path.
#pragma once

#include "assistant/host/links/LinkRules.h"

class CUserLinkPlatform : public ILinkPlatform {
public:
    bool OpenThroughDesktopShell(const std::string &url) override;
    bool ReadMachineString(const std::string &key, std::string &value) override;
    bool StartProgram(const std::string &application, const std::string &commandLine) override;
};

// Opens a page's link for the user (COM initialised on the calling thread).
LinkOutcome OpenUserLink(const std::string &url);
const char *LinkOutcomeName(LinkOutcome outcome);
