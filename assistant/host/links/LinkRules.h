// Links the pages open outside (shortcut tiles, window.open) run as the
// user, not as this administrator process: through the desktop shell's own
// process; where that is not possible, with the browser the machine
// registers, never a command a user's own registrations name.
#pragma once

#include <string>

class ILinkPlatform {
public:
    virtual ~ILinkPlatform() {}
    // The desktop shell, a process of the signed-in user, opens url.
    virtual bool OpenThroughDesktopShell(const std::string &url) = 0;
    // The default value of HKLM\key, only when it is a plain string.
    virtual bool ReadMachineString(const std::string &key, std::string &value) = 0;
    // Starts application (an absolute path, never searched for).
    virtual bool StartProgram(const std::string &application, const std::string &commandLine) = 0;
};

enum class LinkOutcome {
    Refused,         // not a plain web address: nothing runs
    DesktopShell,    // opened by the user's shell
    MachineBrowser,  // started from a machine-wide registration
    NotOpened,       // no way that is safe was there
};

struct BrowserCommand {
    bool valid;
    std::string application;
    std::string commandLine;
};

// A registered "open" command applied to url: the program named first
// (quoted, or unquoted up to ".exe"), which must be an absolute local path
// with nothing left to expand; %1 or %L become url, which is appended when
// the command names no place for it.
BrowserCommand BrowserCommandFor(const std::string &registered, const std::string &url);

// The machine keys asked, in order, for url's scheme; name is the machine's
// default browser (HKLM Clients\StartMenuInternet), empty when unknown.
std::string MachineClassCommandKey(const std::string &scheme);
std::string StartMenuBrowserCommandKey(const std::string &name);

LinkOutcome OpenLinkAsUser(const std::string &url, ILinkPlatform &platform);
